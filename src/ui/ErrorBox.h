#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>
#include <string>

namespace vorlek::ui {

// The message of an error as the user reads it: a full stop is added when the
// last character sorts after the full stop ("Value out of bounds" gets one,
// "Done." and "Done?" do not).
std::string ErrorBoxText(const std::string& message);

// The application's title: the executable's file name without its extension,
// with the first letter in upper case and all after it in lower case.
QString ApplicationTitle(const QString& executablePath);

struct ErrorBoxContent {
    QString text;
    QString caption;
    QMessageBox::Icon icon = QMessageBox::Critical;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

// Shows an error's message the way the application shows every error that
// reaches it: a modal box with an error icon, OK, and the application's title.
void ShowErrorBox(const std::string& message);

// Replaces the modal box, so tests can see what would be shown. An empty
// function restores the box. Returns the one it replaced.
using ErrorBoxPresenter = std::function<void(const ErrorBoxContent&)>;
ErrorBoxPresenter SetErrorBoxPresenter(ErrorBoxPresenter presenter);

// Runs `action`; an exception leaving it is shown with ShowErrorBox and goes no further.
// Returns whether `action` ran to its end.
bool RunShowingErrors(const std::function<void()>& action);

} // namespace vorlek::ui
