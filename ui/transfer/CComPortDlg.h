#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QPushButton;

// "COM Port Setup": names the serial port that leads to the unit. The list offers the serial ports present
// (ListSerialPorts), read again each time it is opened, the port used last first; "COM1" to "COM4" only
// where the system reports none. Its edit field takes any other name.
class CComPortDlg : public QDialog {
    Q_OBJECT
public:
    explicit CComPortDlg(QWidget* parent = nullptr, const QString& deviceRoot = QStringLiteral("/dev"));

    // The system's ports: on POSIX systems /dev/ttyUSB*, /dev/ttyACM* and /dev/serial/by-id/* as found
    // under deviceRoot, on Windows the ports the registry names; `last` first when it is one of them.
    // "COM1".."COM4" when there are none.
    static QStringList PortChoices(const QString& deviceRoot = QStringLiteral("/dev"),
                                   const QString& last = QString());

    // Refills the list from the devices present now, `name` (the port used last) first, and shows name as
    // the current text (a port that is no longer present stays visible that way); an empty name selects the
    // first port.
    void Refresh(const QString& name);
    void SetPortName(const QString& name);
    QString GetPortName() const;
    QComboBox* GetPortList() const { return m_pPortList; }
    QPushButton* GetConfigButton() const { return m_pConfig; }

private:
    void FillList(const QString& shown);

    QString m_strDeviceRoot;
    QString m_strLast;
    QComboBox* m_pPortList;
    QPushButton* m_pConfig;
    QPushButton* m_pCancel;
};
