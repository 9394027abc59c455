#pragma once

#include "ui/ktbaseviewcontroller.h"

#include <QString>
#include <QStringList>

// Own address ("本机地址"): the address servers answer to. Automatic by
// default (the one on the way to the selected server); the user may give
// one instead, kept in the preferences. "完成" saves the text field (empty:
// automatic); a change of the address in use sends the user back to the
// discovery screen, as any change of the address does.
class PhoneAddressViewController : public KTBaseViewController
{
    Q_OBJECT
    Q_PROPERTY(QString currentAddress READ currentAddress NOTIFY addressesChanged)
    Q_PROPERTY(QString automaticAddress READ automaticAddress NOTIFY addressesChanged)
    Q_PROPERTY(bool automatic READ isAutomatic NOTIFY addressesChanged)
    Q_PROPERTY(bool configured READ isConfigured NOTIFY addressesChanged)
    Q_PROPERTY(QStringList interfaceAddresses READ interfaceAddresses NOTIFY addressesChanged)
    Q_PROPERTY(QString addressText READ addressText WRITE setAddressText NOTIFY addressTextChanged)

public:
    PhoneAddressViewController();

    QString currentAddress() const { return m_currentAddress; }
    QString automaticAddress() const { return m_automaticAddress; }
    bool isAutomatic() const { return m_automatic; }
    // --phone-address was given: it wins over the setting for this run.
    bool isConfigured() const { return m_configured; }
    // "name address" for each interface that is up, not loopback, IPv4.
    QStringList interfaceAddresses() const { return m_interfaceAddresses; }
    QString addressText() const { return m_addressText; }
    void setAddressText(const QString &text);

    // Saves the text field: an IPv4 address, or empty for automatic.
    Q_INVOKABLE bool doneAction();
    // Back to automatic, whatever the field holds.
    Q_INVOKABLE bool useAutomaticAction();

Q_SIGNALS:
    void addressesChanged();
    void addressTextChanged();

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    void retranslate() override;

private:
    void refresh();
    bool save(const QString &text);

    QString m_currentAddress;
    QString m_automaticAddress;
    bool m_automatic = true;
    bool m_configured = false;
    QStringList m_interfaceAddresses;
    QString m_addressText;
};
