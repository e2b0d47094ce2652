#pragma once

#include "ChannelDatabase.h"
#include "ChannelGrid.h"
#include "ProgressBar.h"
#include "RequestReader.h"
#include "SerialLink.h"

#include <QByteArray>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QWidget>

// The program's one window. It owns every component and hosts the event
// handlers; the database components are inherited so each keeps its name.
class TForm1 : public QWidget, public vorlek::store::ChannelComponents {
    Q_OBJECT
public:
    // The database is looked for in `databaseDir` (with its trailing
    // separator): the executable's directory unless a test names another.
    explicit TForm1(QWidget* parent = nullptr, QString databaseDir = ExecutableDir());
    ~TForm1() override;

    static QString ExecutableDir();

    // Build the record of one slot from the database and send it to the meter.
    void SendSatRecord(int slot);
    void SendTPRecord(int slot);

    // Shows a position of the upload (clamped to the bar's range) and its percentage.
    void SetProgress(int position);

    QPushButton* BT_CONNECT = nullptr;
    QComboBox* CB_Port = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    vorlek::ui::ChannelGrid* cxGrid1 = nullptr;
    FlatProgressBar* cxPB_Sat = nullptr;
    QPushButton* BT_SEND = nullptr;
    QLabel* Label1 = nullptr;
    QTimer* Timer1 = nullptr;

    vorlek::SerialLink CPD;
    vorlek::RequestReader Rx; // RxBuf and RxCount

public slots:
    void FormCreate();
    void BT_CONNECTClick();
    void BT_SENDClick();
    void Timer1Timer();
    void CPDReceiveData(const QByteArray& data);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateComponents();
    void FillPortBox();
    void Dispatch(std::uint16_t code);
    void ShowConnected(bool open);

    const QString databaseDir_;
};
