#include "Application.h"

#include "ErrorBox.h"

#include <QEvent>

VorlekApplication::VorlekApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool VorlekApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    if (!vorlek::ui::RunShowingErrors([&] { handled = QApplication::notify(receiver, event); })) {
        // The handler failed and the error has been shown: the event is used up.
        event->accept();
        handled = true;
    }
    return handled;
}
