#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QPushButton;

// "COM Port Setup": names the serial port that leads to the unit. The list offers "COM1" to "COM4" and the
// other serial ports present when the dialog opens (ListSerialPorts); its edit field takes any other name.
class CComPortDlg : public QDialog {
    Q_OBJECT
public:
    explicit CComPortDlg(QWidget* parent = nullptr, const QString& deviceRoot = QStringLiteral("/dev"));

    // "COM1".."COM4", then the system's other ports: on POSIX systems /dev/ttyUSB*, /dev/ttyACM* and
    // /dev/serial/by-id/* as found under deviceRoot, on Windows the ports the registry names.
    static QStringList PortChoices(const QString& deviceRoot = QStringLiteral("/dev"));

    // Refills the list from the devices present now and shows name as the current text (a port that is
    // no longer present stays visible that way); an empty name selects "COM1".
    void Refresh(const QString& name);
    void SetPortName(const QString& name);
    QString GetPortName() const;
    QComboBox* GetPortList() const { return m_pPortList; }
    QPushButton* GetConfigButton() const { return m_pConfig; }

private:
    QString m_strDeviceRoot;
    QComboBox* m_pPortList;
    QPushButton* m_pConfig;
    QPushButton* m_pCancel;
};
