#pragma once

#include <optional>

// The answers with which the operator leaves a test: d, m and q at any
// prompt, and n as well at an error prompt (the test keeps its failure).
// Empty for every other key, which the test handles itself.
std::optional<int> leavingAnswer(int key);
std::optional<int> leavingAnswerAfterFailure(int key);
