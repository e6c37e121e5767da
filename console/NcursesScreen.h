#pragma once

#include "console/Screen.h"

class NcursesScreen : public Screen {
public:
    static NcursesScreen& instance();

    void start() override;
    void stop() override;
    void erase() override;
    void refresh() override;
    void attributeOn(int attributes) override;
    void attributeOff(int attributes) override;
    void write(int row, int column, const QByteArray& bytes) override;
    void setEcho(bool on) override;
    void setKeyWait(bool wait) override;
    int readKey() override;
};
