#pragma once

#include <cstddef>
#include <string>

// One row of a name <-> value table. A single table per kind of thing serves
// parsing a command's argument, printing the state and listing the choices.
template <typename Value>
struct Named {
    const char* name;
    Value value;
};

template <typename Value, size_t Size>
const char* nameOf(const Named<Value> (&table)[Size], Value value)
{
    for (const auto& row : table)
        if (row.value == value)
            return row.name;
    return "?";
}

template <typename Value, size_t Size>
bool valueOf(const Named<Value> (&table)[Size], const std::string& name, Value& value)
{
    for (const auto& row : table) {
        if (name == row.name) {
            value = row.value;
            return true;
        }
    }
    return false;
}

// "a|b|c", in table order.
template <typename Value, size_t Size>
std::string choicesOf(const Named<Value> (&table)[Size])
{
    std::string text;
    for (const auto& row : table)
        text += (text.empty() ? "" : "|") + std::string(row.name);
    return text;
}
