// The generic settings window: owns the settings store, loads it when created and writes it
// when destroyed. The user's pages are added by TD_settings_user.
#pragma once

#include "settings/core/SettingsStore.h"

#include <QDialog>

class QPushButton;
class QTabWidget;
class QWidget;

class TD_settings : public QDialog {
    Q_OBJECT
public:
    explicit TD_settings(const QString& settingsFile, QWidget* parent = nullptr);
    ~TD_settings() override;

    SettingsStore& Store() { return store_; }
    TQelPigger& SettingsTree() { return store_.Tree(); }
    const TQelPigger& SettingsTree() const { return store_.Tree(); }
    std::string SettingsFileName() const { return store_.SettingsFileName(); }

    bool SaveNow() { return store_.SaveNow(); }
    std::string GetDataFileName() const { return store_.GetDataFileName(); }
    virtual void SetDataFileName(const std::string& fileName) { store_.SetDataFileName(fileName); }
    virtual void ResetSettings() { store_.ResetSettings(); }
    virtual TQelPigger* GetSection(TQelPigger* parent, std::string_view name) {
        return SettingsStore::GetSection(parent, name);
    }

    // Applies the stored position and size to window (values that are no integers are skipped).
    void RestoreWindowPos(QWidget* window);
    // Stores window's normal geometry (for a maximised window the one it returns to).
    void StoreWindowPos(QWidget* window);
    // Stores a window's normal geometry: the position of its frame and the size inside it.
    void StoreWindowPos(const QRect& normal);

    bool StoreAllowed = true;

    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    QTabWidget* PageControl1;
    QWidget* TabSheet1;

protected:
    // Creation: load the file, then fill the pages. Derived classes call it at the end of their
    // constructor, so that their ShowSettings runs.
    void FormCreate();
    virtual void LoadSettings() { store_.LoadSettings(); }
    virtual void ShowSettings() {}
    void showEvent(QShowEvent* event) override;

protected slots:
    virtual void OKBtnClick();

private:
    SettingsStore store_;
};
