#pragma once
#include <QDialog>
#include <QVariantMap>

namespace Ui { class Proxy; }

// Connection settings: edits a copy of the login window's settings map
// (server address and port, proxy kind, address, port and credentials).
class Proxy : public QDialog
{
    Q_OBJECT
public:
    explicit Proxy(const QVariantMap &settings, QWidget *parent = nullptr);
    ~Proxy() override;

    // All eight keys, read from the fields whether enabled or not.
    QVariantMap settingsMap() const;

private slots:
    void on_comboBox_currentIndexChanged(int index);
    void on_checkBox_toggled(bool checked);

private:
    Ui::Proxy *ui;
};
