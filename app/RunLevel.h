#pragma once

#include <optional>
#include <ostream>

// The process-id field of the login records' run-level entry, if there is one.
std::optional<int> readRunLevelRecord();

// The decision on a record: the field's low byte is the run level's
// character code, and anything above '4' would fight the instrument server
// for the board. Writes the refusal to `out`.
bool checkRunLevel(std::optional<int> runLevelRecord, std::ostream& out);

// The guard as the program runs it: the system's records, standard output.
bool checkRunLevel();
