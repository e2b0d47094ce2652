#include "Unit1.h"

#include "ErrorBox.h"
#include "Fonts.h"
#include "PortNames.h"
#include "RecordFrames.h"
#include "UploadSequencer.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPalette>
#include <QSerialPortInfo>
#include <QTabBar>
#include <string>
#include <vector>

using vorlek::ui::WindowFont;

namespace {

// Looking for serial devices takes longer than building the rest of the
// window, so the devices found join the fixed names when the list is opened,
// which also offers an adapter plugged in after the start.
class PortBox final : public QComboBox {
public:
    using QComboBox::QComboBox;

    void Fill(bool lookForDevices) {
        std::vector<std::string> found;
        if (lookForDevices)
            for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts())
                found.push_back(port.systemLocation().toStdString());
        const QString text = currentText();
        clear();
        for (const std::string& name : vorlek::ui::PortChoices(found))
            addItem(QString::fromStdString(name));
        setEditText(text);
    }

    void showPopup() override {
        Fill(true);
        QComboBox::showPopup();
    }
};

} // namespace

TForm1::TForm1(QWidget* parent, QString databaseDir)
    : QWidget(parent), databaseDir_(std::move(databaseDir)) {
    CreateComponents();
    vorlek::ui::RunShowingErrors([this] { FormCreate(); });
}

// The database components are a base that goes before the widgets do, and
// the grid holds on to them: it has to go first.
TForm1::~TForm1() {
    delete cxGrid1;
}

QString TForm1::ExecutableDir() {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/');
}

void TForm1::CreateComponents() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Digital Vorlek"));
    setFont(WindowFont(11));
    // The face of a button behind everything. Changing the colour rather than the
    // background role keeps the children's text in their usual colours.
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);
    setAutoFillBackground(true);
    move(371, 182);
    setFixedSize(505, 713);

    BT_CONNECT = new QPushButton(QStringLiteral("Connect"), this);
    BT_CONNECT->setObjectName(QStringLiteral("BT_CONNECT"));
    BT_CONNECT->setGeometry(96, 0, 75, 33);
    BT_CONNECT->setFont(WindowFont(11));

    CB_Port = new PortBox(this);
    CB_Port->setObjectName(QStringLiteral("CB_Port"));
    CB_Port->setEditable(true);
    CB_Port->setGeometry(0, 8, 89, 21);
    FillPortBox();

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(0, 40, 505, 673);
    // Only the tab bar is styled, so the pages keep the plain look.
    PageControl1->tabBar()->setAttribute(Qt::WA_Hover);
    PageControl1->tabBar()->setStyleSheet(QStringLiteral(
        "QTabBar::tab { background: palette(button); border: 1px solid palette(mid);"
        " border-bottom: none; border-top-left-radius: 2px; border-top-right-radius: 2px;"
        " padding: 3px 8px; }"
        "QTabBar::tab:hover { background: #fff4cc; border-top: 2px solid #f0b030; }"));

    TabSheet2 = new QWidget(PageControl1);
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Transponder Editor"));
    PageControl1->setCurrentWidget(TabSheet2);

    cxGrid1 = new vorlek::ui::ChannelGrid(*this, TabSheet2);
    cxGrid1->setObjectName(QStringLiteral("cxGrid1"));
    cxGrid1->setGeometry(8, 40, 481, 585);

    cxPB_Sat = new FlatProgressBar(TabSheet2);
    cxPB_Sat->setObjectName(QStringLiteral("cxPB_Sat"));
    cxPB_Sat->setGeometry(8, 8, 481, 21);
    cxPB_Sat->setRange(0, vorlek::kProgressMax);
    cxPB_Sat->setFillColor(QColor(0, 0, 128));

    BT_SEND = new QPushButton(QStringLiteral("UPLOAD"), this);
    BT_SEND->setObjectName(QStringLiteral("BT_SEND"));
    BT_SEND->setGeometry(344, 0, 145, 33);
    BT_SEND->setFont(WindowFont(15, true));

    Label1 = new QLabel(QStringLiteral("FINISH"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(208, 0, 107, 35);
    Label1->setFont(WindowFont(29, true));
    QPalette lime = Label1->palette();
    lime.setColor(QPalette::WindowText, QColor(0, 255, 0));
    Label1->setPalette(lime);
    Label1->hide();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(300);

    // The keyboard order follows the order of creation: BT_CONNECT, CB_Port,
    // PageControl1 (cxGrid1, then cxPB_Sat), BT_SEND.
    setTabOrder(cxGrid1, cxPB_Sat);
    setTabOrder(cxPB_Sat, BT_SEND);

    // An error leaving a handler goes to the application's error box right
    // here, rather than unwinding through the toolkit's code that called it.
    using vorlek::ui::RunShowingErrors;
    connect(BT_CONNECT, &QPushButton::clicked, this,
            [this] { RunShowingErrors([this] { BT_CONNECTClick(); }); });
    connect(BT_SEND, &QPushButton::clicked, this,
            [this] { RunShowingErrors([this] { BT_SENDClick(); }); });
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    connect(&CPD, &vorlek::SerialLink::ReceiveData, this,
            [this](const QByteArray& data) { RunShowingErrors([&] { CPDReceiveData(data); }); });
    connect(&CPD, &vorlek::SerialLink::OpenChanged, this, &TForm1::ShowConnected);

    SetProgress(0);
}

void TForm1::FillPortBox() {
    static_cast<PortBox*>(CB_Port)->Fill(false);
    CB_Port->setCurrentIndex(0);
    CB_Port->setEditText(QStringLiteral("COM1"));
}

void TForm1::SetProgress(int position) {
    cxPB_Sat->setValue(vorlek::ClampProgress(position));
    cxPB_Sat->setText(QString::fromStdString(vorlek::ProgressText(position)));
}

void TForm1::FormCreate() {
    OpenChannelDatabase(databaseDir_.toStdString());
    Rx.RxCount = 0;
}

void TForm1::BT_CONNECTClick() {
    CPD.Connect(CB_Port->currentText());
}

// Lime while the port is open, and only then: a failed attempt must not look
// like a connection.
void TForm1::ShowConnected(bool open) {
    QPalette p = BT_CONNECT->palette();
    p.setColor(QPalette::ButtonText,
               open ? QColor(0, 255, 0) : palette().color(QPalette::ButtonText));
    BT_CONNECT->setPalette(p);
}

void TForm1::BT_SENDClick() {
    Timer1->stop();
    Label1->hide();
    SendSatRecord(0);
}

void TForm1::Timer1Timer() {
    Label1->setVisible(Label1->isHidden());
}

void TForm1::CPDReceiveData(const QByteArray& data) {
    Rx.Receive(reinterpret_cast<const std::uint8_t*>(data.constData()),
               static_cast<std::size_t>(data.size()),
               [this](std::uint16_t code) { Dispatch(code); });
}

void TForm1::Dispatch(std::uint16_t code) {
    const vorlek::UploadStep step = vorlek::DispatchCode(code);
    switch (step.action) {
    case vorlek::UploadAction::SendSatellite:
        SendSatRecord(step.slot);
        SetProgress(step.progress);
        break;
    case vorlek::UploadAction::SendTransponder:
        SendTPRecord(step.slot);
        SetProgress(step.progress);
        break;
    case vorlek::UploadAction::Finish:
        Label1->show();
        Timer1->start();
        break;
    case vorlek::UploadAction::Ignore:
        break;
    }
}

void TForm1::SendSatRecord(int slot) {
    if (!vorlek::IsSatSlot(slot))
        return; // no record there: a frame would overwrite meter memory the list does not own
    vorlek::store::ControlsFreeze freeze(ADOQ_SatList);
    const auto frame = vorlek::BuildSatFrame(slot, vorlek::store::ReadSatName(*this, slot));
    CPD.Send(frame->data(), frame->size());
    freeze.Release();
}

void TForm1::SendTPRecord(int slot) {
    if (!vorlek::IsTPSlot(slot))
        return;
    vorlek::store::ControlsFreeze freeze(ADOQ_TPList);
    const vorlek::store::TPRecord r = vorlek::store::ReadTPRecord(*this, slot);
    const auto frame =
        vorlek::BuildTPFrame(slot, {r.name, r.frequency, r.polarisation, r.symbolRate});
    CPD.Send(frame->data(), frame->size());
    freeze.Release();
}

void TForm1::closeEvent(QCloseEvent* event) {
    // An edit still open is the user's work: write it before the file is closed.
    vorlek::ui::RunShowingErrors([this] { cxGrid1->PostPendingEdits(); });
    CPD.Close();
    for (vorlek::store::Query* q : {&ADOQ_TPList, &ADOQ_SatList, &ADOQ_PolType})
        q->Close();
    ADOConn.Close();
    QWidget::closeEvent(event);
}
