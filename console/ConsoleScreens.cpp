#include "console/ConsoleScreens.h"

#include "console/LiveTokens.h"
#include "console/Markup.h"
#include "console/Screen.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int firstDetailRow = 2;

void append(Panel& panel, const Panel& more)
{
    panel.insert(panel.end(), more.begin(), more.end());
}

} // namespace

Panel testScreenPanel(const QString& title, const std::vector<QString>& detailLines,
                      const std::vector<QString>& promptLines, int systemVoltage, int powerSource)
{
    Panel panel{PanelLine{0, 0, consoleBytes(title), Screen::Bold}};
    for (size_t i = 0; i < detailLines.size(); ++i)
        append(panel, markupLine(firstDetailRow + static_cast<int>(i), 2,
                                 replaceLiveTokens(detailLines[i], systemVoltage, powerSource)));
    const int promptRows[] = {21, 23};
    for (size_t i = 0; i < promptLines.size() && i < 2; ++i)
        append(panel, markupLine(promptRows[i], 4, promptLines[i]));
    return panel;
}

Panel summaryPanel(const QString& title, const QString& resultMessage)
{
    return {
        PanelLine{0, 0, consoleBytes(title), Screen::Bold},
        PanelLine{2, 2, consoleBytes(resultMessage), Screen::Bold},
        PanelLine{21, 4, "Press Any Key to continue : ", 0},
    };
}

Panel menuPanel(const std::vector<MenuEntry>& entries)
{
    Panel panel{PanelLine{0, 0, "Select Dynelle Test", Screen::Bold}};
    const int listed = std::min(static_cast<int>(entries.size()), menuSelectorCount);
    for (int i = 0; i < listed; ++i) {
        const MenuEntry& entry = entries[static_cast<size_t>(i)];
        panel.push_back(PanelLine{i + 2, 2,
                                  QByteArray(1, menuSelectors[i]) + ") " + entry.state.toLatin1() + " - "
                                      + entry.title.toLatin1(),
                                  0});
    }
    panel.push_back(PanelLine{23, 6, "Selection, (Q)uit, (U)pload and quit : ", 0});
    return panel;
}

int menuSelection(int key)
{
    const int lower = Screen::lowerCase(key);
    const char* selector = lower > 0 && lower <= 255 ? std::strchr(menuSelectors, lower) : nullptr;
    return selector ? static_cast<int>(selector - menuSelectors) : -1;
}
