#pragma once

#include <QString>

class TestManager;

// The fixed plan run on every TR417: each input on its own, the switching
// thresholds for pairs of inputs under maximum load, then the battery
// protocols. Appends the 18 top-level entries to the manager.
void populateTests(TestManager& manager);

// One threshold check each: a group of two power-source steps (stages 1 to 4,
// then stage 5 where the first input's supply is moved). `firstSourceSupplies`
// says whether, with both inputs accepted in stage 5, the system runs at the
// voltage the first input is set to.
void addFalling10V4Group(TestManager& manager, const QString& firstConnector, const QString& sourceName,
                         const QString& secondConnector, int firstSource, int secondSource);
void addRising10V7Group(TestManager& manager, const QString& firstConnector, const QString& sourceName,
                        const QString& secondConnector, int firstSource, int secondSource,
                        bool firstSourceSupplies);
void addRising17V8Group(TestManager& manager, const QString& firstConnector, const QString& sourceName,
                        const QString& secondConnector, int firstSource, int secondSource);
void addFalling17V3Group(TestManager& manager, const QString& firstConnector, const QString& sourceName,
                         const QString& secondConnector, int firstSource, int secondSource,
                         bool firstSourceSupplies);
