#pragma once

#include <string>
#include <vector>

class BenchModel;
class BoardLine;
class ReplyShaper;
class RequestRecorder;

// Executes one control command (a line such as "j1 14.0" or "fault crlf") on
// the simulated bench and board.
class CommandInterpreter {
public:
    struct Result {
        std::vector<std::string> lines; // output before the closing line
        std::string error;              // empty on success
        // The command's whole answer: its lines, then "ok" or "error <text>".
        std::string text() const;
    };

    CommandInterpreter(BenchModel& model, ReplyShaper& shaper, RequestRecorder& recorder, BoardLine& line);

    Result execute(const std::string& command);

    static const char* helpText();

private:
    Result setInput(int input, const std::string& argument);
    Result fault(const std::vector<std::string>& words);
    Result record(const std::vector<std::string>& words);
    Result status() const;

    BenchModel& model;
    ReplyShaper& shaper;
    RequestRecorder& recorder;
    BoardLine& line;
};
