#include "ErrorBox.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <exception>
#include <utility>

namespace vorlek::ui {

namespace {

ErrorBoxPresenter& Presenter() {
    static ErrorBoxPresenter presenter;
    return presenter;
}

void ShowModal(const ErrorBoxContent& content) {
    QMessageBox box(content.icon, content.caption, content.text, content.buttons);
    box.exec();
}

} // namespace

std::string ErrorBoxText(const std::string& message) {
    // Compared as a code unit: every byte of a multi-byte UTF-8 character sorts after '.'.
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + '.';
    return message;
}

QString ApplicationTitle(const QString& executablePath) {
    const QString name = QFileInfo(executablePath).completeBaseName();
    if (name.isEmpty())
        return name;
    return name.left(1).toUpper() + name.mid(1).toLower();
}

void ShowErrorBox(const std::string& message) {
    ErrorBoxContent content;
    content.text = QString::fromStdString(ErrorBoxText(message));
    content.caption = ApplicationTitle(QCoreApplication::applicationFilePath());
    if (Presenter())
        Presenter()(content);
    else
        ShowModal(content);
}

ErrorBoxPresenter SetErrorBoxPresenter(ErrorBoxPresenter presenter) {
    return std::exchange(Presenter(), std::move(presenter));
}

bool RunShowingErrors(const std::function<void()>& action) {
    try {
        action();
        return true;
    } catch (const std::exception& error) {
        ShowErrorBox(error.what());
    }
    return false;
}

} // namespace vorlek::ui
