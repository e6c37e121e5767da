#pragma once

// The text of the last system error (errno), the one place the platform layer
// reads errno for its messages.
const char* systemErrorText();
