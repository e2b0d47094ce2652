#pragma once

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTimer>
#include <cstddef>
#include <cstdint>

namespace vorlek {

// The one serial connection to the meter: fixed line settings, a 50 ms
// receive poll that hands over everything waiting in one signal, and a
// synchronous send that gives up after 500 ms without progress.
class SerialLink : public QObject {
    Q_OBJECT
public:
    static constexpr int kPollMs = 50;
    static constexpr int kSendStallMs = 500;
    static constexpr qint64 kQueueSize = 2048;

    explicit SerialLink(QObject* parent = nullptr);
    ~SerialLink() override;

    // Closes the port if open, takes the new name (COM1..COM8 or a device
    // path) and opens it; a failure leaves the port closed. Returns IsOpen().
    bool Connect(const QString& portName);
    void Close();
    bool IsOpen() const;
    QString PortName() const;

    // Writes nothing and returns 0 on a closed port; otherwise the number of
    // bytes written before all were taken or the line stalled.
    qint64 Send(const std::uint8_t* data, std::size_t count);

signals:
    void ReceiveData(const QByteArray& data);
    void OpenChanged(bool open);
    // The device went away while open (unplugged, the other end of a
    // pseudo-terminal closed); the port has been closed.
    void DeviceLost();

private:
    bool OpenPort();
    void Poll();
    void OnError(QSerialPort::SerialPortError error);
    void SetOpen(bool open);

    QSerialPort port_;
    QTimer poll_;
    QString portName_ = QStringLiteral("COM7");
    bool open_ = false;
    bool lossPending_ = false;
};

} // namespace vorlek
