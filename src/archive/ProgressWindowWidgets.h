#pragma once

#include "archive/ProgressWindowView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

namespace tickwell {

// The widgets of the progress window.
class ProgressWindowView::Widgets {
public:
    Widgets();
    Widgets(const Widgets &) = delete;
    Widgets &operator=(const Widgets &) = delete;

    QWidget window; // first: the lines are its children and must go before it
    QLabel labelLine;
    QLabel detailLine;
    QLabel statusLine;
    QProgressBar progress;
    QPushButton stopButton;
};

using ProgressWindowWidgets = ProgressWindowView::Widgets;

} // namespace tickwell
