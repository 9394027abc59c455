#pragma once

#include "core/scheduler.h"
#include "screens/shell/slidezoommenucontroller.h"
#include "session/deviceinfo.h"
#include "ui/ktbaseviewcontroller.h"

#include <QHash>
#include <QList>
#include <QPointer>


// The discovery screen, at the bottom of the root navigation for the life
// of the process. It is the receiver of the server socket and owns the
// connection replies: it records every announcing server and play state,
// answers each announcement with the login frame, and after a scan of
// 10 seconds opens the side-menu container around the server list. Its
// right bar button opens the own-address page.
class ScanDeviceViewController : public KTBaseViewController
{
    Q_OBJECT
    Q_PROPERTY(QString scanButtonTitle READ scanButtonTitle NOTIFY scanStateChanged)
    Q_PROPERTY(bool scanning READ isScanning NOTIFY scanStateChanged)
    Q_PROPERTY(bool scanAnimationVisible READ isScanAnimationVisible NOTIFY scanStateChanged)
    Q_PROPERTY(float angle READ angle NOTIFY angleChanged)
    Q_PROPERTY(float progress READ progress NOTIFY progressChanged)
    Q_PROPERTY(QString messageText READ messageText NOTIFY messageTextChanged)
    Q_PROPERTY(int deviceCount READ deviceCount NOTIFY dataSourceChanged)
    Q_PROPERTY(QString userName READ userName WRITE setUserName NOTIFY userNameChanged)

public:
    static constexpr int kTickMs = 80;

    ScanDeviceViewController();
    ~ScanDeviceViewController() override;

    QString scanButtonTitle() const { return m_scanButtonTitle; }
    bool isScanning() const { return m_scanning; }
    bool isScanAnimationVisible() const { return m_scanAnimationVisible; }
    float angle() const { return m_angle; }
    float progress() const { return m_progress; }
    QString messageText() const { return m_messageText; }
    int deviceCount() const { return int(m_dataSource.size()); }
    QList<DeviceInfo> dataSource() const { return m_dataSource; }
    QString userName() const { return m_userName; }
    void setUserName(const QString &name);
    // The container built by the last completed scan, while it lives.
    SLideZoomMenuController *slider() const { return m_slider; }

    // The scan button: starts a scan, or stops the one running.
    Q_INVOKABLE void scanButtonAction();
    // One tick of the scan timer.
    void translationImageView();

    void getInitShebeiInfoWitShebeiHexString(const QString &hexString, const QString &deviceIp);
    void getInitDeviceNormalINfoWitShebeiHexString(const QString &hexString, const QString &deviceIp);
    // Reloads the list from the database and writes the count line.
    void didScanDeviceInfo();

    // Makes this screen the receiver of the server socket again.
    void becomeServerDelegate();
    // The right bar button: the own-address page, over this screen.
    void openPhoneAddress();

Q_SIGNALS:
    void scanStateChanged();
    void angleChanged();
    void progressChanged();
    void messageTextChanged();
    void dataSourceChanged();
    void userNameChanged();

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    void retranslate() override;

private:
    // What the message line says.
    enum class Message { None, Waiting, Count };

    void setScanning(bool scanning);
    QString scanButtonText() const;
    void setMessageText(const QString &text);
    void writeMessage();
    void finishScan();
    void openMainScreens();
    void returnToThisScreen();
    void connectionEnded();
    void writeCountLine();

    QString m_scanButtonTitle;
    bool m_scanning = false;
    bool m_scanAnimationVisible = false;
    float m_angle = 0;
    float m_progress = 0;
    QString m_messageText;
    Message m_message = Message::None;
    QString m_userName;
    QList<DeviceInfo> m_dataSource;
    QHash<QString, qsizetype> m_rowOfUserId; // userId -> index in m_dataSource
    quint64 m_seenGeneration = 0;            // of the store's UserInfo, when the list was last in step
    Scheduler::TimerId m_timer = 0;
    QPointer<SLideZoomMenuController> m_slider;
};
