#pragma once

#include "console/Panel.h"

#include <QString>

#include <vector>

// The test screen, the summary after a test and the test selection menu as
// pure functions from the console's state to panels.

// Title, instruction lines with their live tokens and markup, prompt lines.
Panel testScreenPanel(const QString& title, const std::vector<QString>& detailLines,
                      const std::vector<QString>& promptLines, int systemVoltage, int powerSource);

Panel summaryPanel(const QString& title, const QString& resultMessage);

struct MenuEntry {
    QString state; // the state string of the test
    QString title;
};
// The tests that can be chosen, at most one per selector character.
inline constexpr char menuSelectors[] = "123456789abcdefghijklmnop";
inline constexpr int menuSelectorCount = sizeof menuSelectors - 1;
Panel menuPanel(const std::vector<MenuEntry>& entries);
// The position of a selector key (either case), -1 for any other key.
int menuSelection(int key);
