#pragma once
#include <QDialog>
#include <QVariantMap>

class QLineEdit;
namespace Ui { class RegWindow; }

// Registration form: collects company and personal data and the wanted tabs
// and sends them with code 255 through the parent login window.
class RegWindow : public QDialog
{
    Q_OBJECT
public:
    explicit RegWindow(QWidget *parent = nullptr);
    ~RegWindow() override;

    // The request as it goes on the wire: six texts and six check box states.
    QVariantMap requestMap() const;

private slots:
    void on_pushButton_clicked();

private:
    // Shows the message for the first empty required field and focuses it.
    bool checkRequired();

    Ui::RegWindow *ui;
};
