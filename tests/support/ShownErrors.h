#pragma once

#include "ErrorBox.h"

#include <QStringList>

// Everything the error box would have shown while this lives.
struct ShownErrors {
    QStringList texts;
    ShownErrors() {
        vorlek::ui::SetErrorBoxPresenter(
            [this](const vorlek::ui::ErrorBoxContent& c) { texts << c.text; });
    }
    ~ShownErrors() { vorlek::ui::SetErrorBoxPresenter({}); }
    ShownErrors(const ShownErrors&) = delete;
    ShownErrors& operator=(const ShownErrors&) = delete;
};
