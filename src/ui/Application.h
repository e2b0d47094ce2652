#pragma once

#include <QApplication>

// The application object. An exception that leaves an event handler ends up
// here and is shown in the error box; the message loop then goes on.
class VorlekApplication : public QApplication {
    Q_OBJECT
public:
    VorlekApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};
