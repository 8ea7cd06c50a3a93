#pragma once
#include <QDialog>
#include <functional>

namespace Ui { class Message; }

// Small application-modal dialog through which every network operation reports
// progress and results. Closing it after a lost connection restarts the program.
class Message : public QDialog
{
    Q_OBJECT
public:
    explicit Message(QWidget *parent = nullptr);
    ~Message() override;

    void setMessageText(const QString &text);
    QString messageText() const;
    void setCloseEnabled(bool enabled);
    bool isCloseEnabled() const;

    // Starts the new instance; replaceable so tests do not spawn real clients.
    static std::function<void()> restartLauncher;
    // Ends the process; replaceable for the same reason.
    static std::function<void(int)> processExit;

    static bool isLostConnectionText(const QString &text);

    // Deletes itself once closed; for heap dialogs nobody keeps.
    void setFreedOnClose();
    bool isFreedOnClose() const { return m_freedOnClose; }

protected:
    // Esc and the window frame close the dialog like its button does.
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_pushButton_clicked();

private:
    void fitText();
    static constexpr int kWidth = 250;
    static constexpr int kHeight = 96;
    static constexpr int kTextHeight = 41;
    static constexpr int kButtonTop = 60;

    // After a lost connection closing restarts the program; returns false otherwise.
    bool restartIfLost();

    Ui::Message *ui;
    bool m_freedOnClose = false;
};
