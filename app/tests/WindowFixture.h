// A main window whose modal parts answer from the test: messages and the folders given to the file manager
// are recorded, open dialogs return the scripted names and confirmations the scripted answers. Plus ways to
// act in the middle of a run and to answer a real modal dialog.
#pragma once

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QObject>
#include <QString>
#include <QUrl>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Plotra_.h"
#include "app/PreviewPane.h"
#include "tests/support/TempFolder.h"

struct ShownMessage {
    std::string caption;
    std::string text;
    bool operator==(const ShownMessage&) const = default;
};

inline const ShownMessage kCompleted{"メッセージ", "正常に終了しました。"};
inline const ShownMessage kCompletedWithOmissions{"メッセージ",
                                                  "正常に終了しました。（作図していないコードがあります）"};
inline const ShownMessage kAborted{"メッセージ", "強制終了します。"};

class WindowTest : public testing::Test {
protected:
    TForm1& open(const std::vector<std::string>& arguments = {}, EventPacing pacing = kEveryLine);

    // An NC program of `lines` lines in the test's folder; returns its path.
    std::string ncProgram(const std::string& name, int lines);
    // Puts NC and DXF names into the edits as a user would type them.
    void typeNames(const std::string& nc, const std::string& dxf);
    // Converts `nc` to OUT.DXF in the test's folder with Start, in the window opened first if need be.
    PreviewPane& convert(const std::string& nc);

    std::string memoText() const;
    static std::string text(const QString& shown) { return shown.toStdString(); }

    TempFolder folder;
    std::vector<ShownMessage> messages;
    std::vector<QString> filtersAsked;
    std::deque<QString> fileAnswers;
    std::vector<std::string> startFolders;
    std::vector<std::string> foldersOpened;
    bool fileManagerFound = true;
    std::vector<std::string> confirmationsAsked;
    std::function<bool(const std::string& path)> confirm = [](const std::string&) { return true; };
    std::unique_ptr<TForm1> form;
};

// Does `action` once, inside the run's event handling, as soon as the counter shows `line`.
class AtLine : public QObject {
public:
    AtLine(TForm1& form, std::int64_t line, std::function<void()> action);
    bool done() const { return done_; }

private:
    void arm();
    void check();

    TForm1& form_;
    QString line_;
    std::function<void()> action_;
    bool done_ = false;
};

// Hands the next modal dialog to `answer`, which must close it, once the dialog is up; nothing happens once
// `context` is gone.
void AnswerModal(QObject& context, std::function<void(QWidget& dialog)> answer);

// The settings file beside the test program, which the window reads, holding `content` until it is put back
// as it was.
class SettingsBesideProgram {
public:
    explicit SettingsBesideProgram(const std::string& content);
    ~SettingsBesideProgram();

    const std::string path;

private:
    const bool existed_;
    const std::string before_;
};

// Stands in for the desktop: records what the program asks it to open.
class UrlRecorder : public QObject {
    Q_OBJECT

public:
    explicit UrlRecorder(const char* scheme) : scheme_(QString::fromLatin1(scheme)) {
        QDesktopServices::setUrlHandler(scheme_, this, "open");
    }
    ~UrlRecorder() override { QDesktopServices::unsetUrlHandler(scheme_); }

    std::vector<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.push_back(url); }

private:
    QString scheme_;
};

inline const std::string kMemoHeadings = "ツール番号・径補正番号\n-----------------------------------------";
