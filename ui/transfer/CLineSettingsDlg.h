#pragma once

#include "serial/LynSerialRecords.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QPushButton;

// The line settings of a serial port: baud rate, data bits, parity, stop bits and flow control. Only what
// the serial library can carry out on this system is offered: hardware flow control is CTS/RTS.
class CLineSettingsDlg : public QDialog {
    Q_OBJECT
public:
    enum Flow { FlowNone = 0, FlowXonXoff = 1, FlowHardware = 2 };

    explicit CLineSettingsDlg(const QString& portName, QWidget* parent = nullptr);

    // Shows settings; every field the dialog does not edit is kept for GetSettings.
    void SetSettings(const LynDcb& settings);
    // The settings passed in, with the dialog's choices applied.
    LynDcb GetSettings() const;
    // 9600 baud, 8 data bits, no parity, one stop bit, no flow control.
    void RestoreDefaults();

    QComboBox* GetBaudRate() const { return m_pBaud; }
    QComboBox* GetDataBits() const { return m_pDataBits; }
    QComboBox* GetParity() const { return m_pParity; }
    QComboBox* GetStopBits() const { return m_pStopBits; }
    QComboBox* GetFlowControl() const { return m_pFlow; }
    // "Write every block, even those the unit already holds": uploads then skip no block. Off by default.
    QCheckBox* GetWriteEveryBlock() const { return m_pWriteAll; }

private:
    void FillStopBits(int dataBits, int stopCode);
    static void SelectData(QComboBox* box, int value);

    LynDcb m_settings;
    QComboBox* m_pBaud;
    QComboBox* m_pDataBits;
    QComboBox* m_pParity;
    QComboBox* m_pStopBits;
    QComboBox* m_pFlow;
    QCheckBox* m_pWriteAll;
};
