// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

// What the cube run's worker tells the GUI thread; emitted on the worker,
// delivered through queued connections in the order emitted.
class CubeRunEvents : public QObject {
    Q_OBJECT
signals:
    void progressed(int done, int total);
    void ended();
};
