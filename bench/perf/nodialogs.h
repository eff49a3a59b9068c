// SPDX-License-Identifier: 0BSD
#pragma once
// Boxes that nobody answers: the benchmarks measure the window's own work,
// not a person reading a message.

#include "window/dialogs.h"

namespace tavlin::bench {

class NoDialogs final : public Dialogs {
public:
    void inform(QWidget*, const QString&, const QString&) override {}
    bool confirm(QWidget*, const QString&, const QString&) override { return false; }
    QString askText(QWidget*, const QString&, const QString&) override { return {}; }
    void beep() override {}
};

}  // namespace tavlin::bench
