#pragma once

#include "tools/unitsim/SimulatedUnit.h"

#include <gtest/gtest.h>

// The platform layer reports on standard output and error.
using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;
