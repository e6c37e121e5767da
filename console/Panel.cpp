#include "console/Panel.h"

#include "console/Screen.h"

void draw(Screen& screen, const Panel& panel)
{
    for (const PanelLine& line : panel) {
        if (line.attributes)
            screen.attributeOn(line.attributes);
        screen.write(line.row, line.column, line.text);
        if (line.attributes)
            screen.attributeOff(line.attributes);
    }
}
