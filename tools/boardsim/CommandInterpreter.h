#pragma once

#include <string>
#include <vector>

class BenchModel;
class BoardLine;
class ReplyShaper;
class RequestRecorder;

// Executes one control command (a line such as "j1 14.0" or "fault crlf") on
// the simulated bench and board. One table of commands gives the dispatch,
// the usage errors and the help text.
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

    // Every command with its arguments and what it does, under headings.
    static std::string helpText();

private:
    struct Command;
    using Words = std::vector<std::string>;
    static const std::vector<Command>& commands();
    static Result usageError(const Command& command);

    Result help(const Command&, const Words&, const std::string&);
    Result status(const Command&, const Words&, const std::string&);
    Result readings(const Command&, const Words&, const std::string&);
    Result setInput(const Command&, const Words&, const std::string&);
    Result drop(const Command&, const Words&, const std::string&);
    Result plate(const Command&, const Words&, const std::string&);
    Result protocol(const Command&, const Words&, const std::string&);
    Result battery(const Command&, const Words&, const std::string&);
    Result setInteger(const Command&, const Words&, const std::string&);
    Result version(const Command&, const Words&, const std::string&);
    Result setOverride(const Command&, const Words&, const std::string&);
    Result unsetOverride(const Command&, const Words&, const std::string&);
    Result fault(const Command&, const Words&, const std::string&);
    Result lock(const Command&, const Words&, const std::string&);
    Result send(const Command&, const Words&, const std::string&);
    Result record(const Command&, const Words&, const std::string&);
    Result now(const Command&, const Words&, const std::string&);
    Result quit(const Command&, const Words&, const std::string&);

    BenchModel& model;
    ReplyShaper& shaper;
    RequestRecorder& recorder;
    BoardLine& line;
};
