#include "SerialLink.h"

#include "PortName.h"

#ifdef Q_OS_UNIX
#include <cerrno>
#include <chrono>
#include <poll.h>
#include <unistd.h>
#endif

namespace vorlek {

SerialLink::SerialLink(QObject* parent) : QObject(parent) {
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, &SerialLink::Poll);
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialLink::OnError);
}

SerialLink::~SerialLink() {
    poll_.stop();
    port_.close();
}

bool SerialLink::Connect(const QString& portName) {
    Close();
    portName_ = portName;
    if (OpenPort()) {
        poll_.start();
        SetOpen(true);
    }
    return IsOpen();
}

void SerialLink::Close() {
    lossPending_ = false;
    poll_.stop();
    if (port_.isOpen())
        port_.close();
    port_.clearError();
    SetOpen(false);
}

bool SerialLink::IsOpen() const {
    return open_;
}

QString SerialLink::PortName() const {
    return portName_;
}

bool SerialLink::OpenPort() {
    port_.setPortName(QString::fromStdString(PortDevicePath(portName_.toStdString())));
    port_.setBaudRate(QSerialPort::Baud9600);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    port_.setReadBufferSize(kQueueSize);
    if (!port_.open(QIODevice::ReadWrite)) {
        port_.clearError();
        return false;
    }
    // A pseudo-terminal has no modem-control lines; only there may DTR and
    // RTS be missing.
    const auto lineSet = [this](bool ok) {
        if (ok || port_.error() == QSerialPort::UnsupportedOperationError) {
            port_.clearError();
            return true;
        }
        return false;
    };
    if (!lineSet(port_.setDataTerminalReady(true)) || !lineSet(port_.setRequestToSend(false)) ||
        !port_.clear(QSerialPort::AllDirections)) {
        port_.close();
        port_.clearError();
        return false;
    }
    return true;
}

void SerialLink::Poll() {
    if (!port_.isOpen())
        return;
    const QByteArray data = port_.read(kQueueSize);
    if (!data.isEmpty())
        emit ReceiveData(data);
}

void SerialLink::OnError(QSerialPort::SerialPortError error) {
    // A read that fails on a readable device means it is gone; left open,
    // the port would report the same failure over and over.
    if (!open_ || lossPending_ ||
        (error != QSerialPort::ResourceError && error != QSerialPort::ReadError))
        return;
    lossPending_ = true;
    poll_.stop();
    // Closed from the event loop, not from inside the port's own notification.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!lossPending_)
                return;
            Close();
            emit DeviceLost();
        },
        Qt::QueuedConnection);
}

void SerialLink::SetOpen(bool open) {
    if (open_ == open)
        return;
    open_ = open;
    emit OpenChanged(open);
}

qint64 SerialLink::Send(const std::uint8_t* data, std::size_t count) {
    if (!open_ || count == 0)
        return 0;
#ifdef Q_OS_UNIX
    // Straight to the device, so that progress is seen byte by byte rather
    // than hidden behind the port's own write buffer.
    using Clock = std::chrono::steady_clock;
    const int fd = port_.handle();
    std::size_t written = 0;
    auto lastProgress = Clock::now();
    while (written < count) {
        const ssize_t n = ::write(fd, data + written, count - written);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
            lastProgress = Clock::now();
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            break;
        const auto left =
            std::chrono::milliseconds(kSendStallMs) -
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - lastProgress);
        if (left.count() <= 0)
            break;
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) < 0 && errno != EINTR)
            break;
        if (p.revents & (POLLERR | POLLHUP | POLLNVAL))
            break;
    }
    return static_cast<qint64>(written);
#else
    const qint64 queued = port_.write(reinterpret_cast<const char*>(data), qint64(count));
    if (queued <= 0)
        return 0;
    while (port_.bytesToWrite() > 0 && port_.waitForBytesWritten(kSendStallMs)) {
    }
    return queued - port_.bytesToWrite();
#endif
}

} // namespace vorlek
