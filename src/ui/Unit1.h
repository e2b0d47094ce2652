#pragma once

#include "ProgressBar.h"

#include <QByteArray>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QWidget>

// The program's one window. It owns every component and hosts the event handlers.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);

    // Shows a position of the upload (clamped to the bar's range) and its percentage.
    void SetProgress(int position);

    QPushButton* BT_CONNECT = nullptr;
    QComboBox* CB_Port = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* cxGrid1 = nullptr;
    FlatProgressBar* cxPB_Sat = nullptr;
    QPushButton* BT_SEND = nullptr;
    QLabel* Label1 = nullptr;
    QTimer* Timer1 = nullptr;

public slots:
    void FormCreate();
    void BT_CONNECTClick();
    void BT_SENDClick();
    void Timer1Timer();
    void CPDReceiveData(const QByteArray& data);

private:
    void CreateComponents();
    void FillPortBox();
};
