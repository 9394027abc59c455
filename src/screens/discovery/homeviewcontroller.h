#pragma once

#include "session/deviceinfo.h"
#include "ui/ktbasetableviewcontroller.h"
#include "ui/rowlistmodel.h"

#include <QList>
#include <QStringList>

// The server list: one section per recorded server, which opens into one
// row per play window once the server's password has been given. Choosing
// a row selects server and window and opens the function menu.
//
// dataSource holds one map per section: section, deviceName, deviceIp,
// loggedIn, open, and rows (the window row texts, empty while closed). The
// page draws them as one list, `sections`: a header row per server ("row"
// -1, "text" its name) followed by its open window rows ("row" 0, 1, ...).
class HomeViewController : public KTBaseTableViewController
{
    Q_OBJECT
    Q_PROPERTY(QString messageText READ messageText NOTIFY languageChanged)
    Q_PROPERTY(bool passwordPromptVisible READ isPasswordPromptVisible NOTIFY passwordPromptChanged)
    Q_PROPERTY(QString passwordText READ passwordText WRITE setPasswordText NOTIFY passwordTextChanged)
    Q_PROPERTY(bool showPassword READ showPassword WRITE didSelectedCheckBox NOTIFY showPasswordChanged)
    Q_PROPERTY(QString passwordPromptTitle READ passwordPromptTitle NOTIFY languageChanged)
    Q_PROPERTY(QString passwordPlaceholder READ passwordPromptTitle NOTIFY languageChanged)
    Q_PROPERTY(QString showPasswordText READ showPasswordText NOTIFY languageChanged)
    Q_PROPERTY(QString confirmText READ confirmText NOTIFY languageChanged)
    Q_PROPERTY(RowListModel *sections READ sectionModel CONSTANT)

public:
    explicit HomeViewController(const QList<DeviceInfo> &devices = {});

    QList<DeviceInfo> devices() const { return m_devices; }
    QStringList treeOpenArray() const { return m_treeOpenArray; }
    RowListModel *sectionModel() const { return m_sectionModel; }
    int selectedIndexSection() const { return m_selectedIndexSection; }

    QString messageText() const;
    bool isPasswordPromptVisible() const { return m_passwordPromptVisible; }
    QString passwordText() const { return m_passwordText; }
    void setPasswordText(const QString &text);
    bool showPassword() const { return m_showPassword; }
    static QString passwordPromptTitle();
    static QString showPasswordText();
    static QString confirmText();

    // A section header was tapped.
    Q_INVOKABLE void tapAction(int section);
    Q_INVOKABLE void secretEntryAlertWithSecrityPassword();
    // The prompt's confirm button.
    Q_INVOKABLE void passwordCheck();
    // Esc on the prompt (a desktop's way out): removes it and changes
    // nothing else; the server stays as it was.
    Q_INVOKABLE void cancelPasswordPrompt();
    // The show-password box.
    Q_INVOKABLE void didSelectedCheckBox(bool checked);
    // A window row was chosen.
    Q_INVOKABLE void didSelectRowAtIndexPath(int section, int row);

Q_SIGNALS:
    void passwordPromptChanged();
    void passwordTextChanged();
    void showPasswordChanged();

protected:
    void viewWillAppear() override;
    void retranslate() override;

private:
    void toggleSection(int section);
    void rebuildRows();
    void reloadDevices();

    QList<DeviceInfo> m_devices;
    QStringList m_treeOpenArray;
    QString m_treeOpenString;
    int m_selectedIndexSection = -1;
    QString m_selectedPassword;
    QString m_playDeviceName;
    bool m_passwordPromptVisible = false;
    QString m_passwordText;
    bool m_showPassword = false;
    RowListModel *m_sectionModel;
};
