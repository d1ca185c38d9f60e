#include "app/tests/WindowFixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>

TForm1& WindowTest::open(const std::vector<std::string>& arguments, EventPacing pacing) {
    form = std::make_unique<TForm1>(arguments, pacing);
    form->presentMessage = [this](const QString& caption, const QString& shown) {
        messages.push_back({text(caption), text(shown)});
    };
    form->chooseOpenFile = [this](const QString& filter, const QString& startFolder) {
        filtersAsked.push_back(filter);
        startFolders.push_back(text(startFolder));
        if (fileAnswers.empty()) {
            return QString();
        }
        QString answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer;
    };
    form->confirmConversion = [this](const QString& path) {
        confirmationsAsked.push_back(text(path));
        return confirm(text(path));
    };
    form->openFolder = [this](const QString& shown) {
        foldersOpened.push_back(text(shown));
        return fileManagerFound;
    };
    form->show();
    // Keys reach the window's shortcuts only once it is the active window.
    EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
    return *form;
}

std::string WindowTest::ncProgram(const std::string& name, int lines) {
    std::string program = "%\r\nO1000 (TEST)\r\n";
    for (int i = 2; i < lines; ++i) {
        program += i % 2 == 0 ? "G01 X10. Y5. F200\r\n" : "G00 X0 Y0\r\n";
    }
    return folder.write(name, program);
}

void WindowTest::typeNames(const std::string& nc, const std::string& dxf) {
    form->NcFileNameEdit->setText(QString::fromStdString(nc));
    form->DxfFileNameEdit->setText(QString::fromStdString(dxf));
}

PreviewPane& WindowTest::convert(const std::string& nc) {
    TForm1& window = form ? *form : open();
    typeNames(nc, folder.file("OUT.DXF"));
    window.Start->click();
    return *window.Preview;
}

std::string WindowTest::memoText() const {
    return text(form->Memo1->toPlainText());
}

AtLine::AtLine(TForm1& form, std::int64_t line, std::function<void()> action)
    : form_(form), line_(QString::number(line)), action_(std::move(action)) {
    arm();
}

// A posted call is delivered once per round of event handling, so the counter is looked at before every line.
void AtLine::arm() {
    QMetaObject::invokeMethod(this, &AtLine::check, Qt::QueuedConnection);
}

void AtLine::check() {
    if (form_.edNum->text() != line_) {
        arm();
        return;
    }
    done_ = true;
    action_();
}

namespace {

// Looks for the dialog every 10 ms of event handling, up to a limit that only a dialog that never comes
// reaches.
void AnswerModalWithin(QObject& context, int tries, std::function<void(QWidget& dialog)> answer) {
    QTimer::singleShot(10, &context, [&context, tries, answer = std::move(answer)] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            answer(*dialog);
        } else if (tries > 0) {
            AnswerModalWithin(context, tries - 1, answer);
        } else {
            ADD_FAILURE() << "no modal dialog came up";
        }
    });
}

}  // namespace

void AnswerModal(QObject& context, std::function<void(QWidget& dialog)> answer) {
    AnswerModalWithin(context, 1000, std::move(answer));
}

SettingsBesideProgram::SettingsBesideProgram(const std::string& content)
    : path(std::filesystem::read_symlink("/proc/self/exe").replace_extension(".INI").string()),
      existed_(std::filesystem::exists(path)),
      before_(ReadBytes(path)) {
    WriteBytes(path, content);
}

SettingsBesideProgram::~SettingsBesideProgram() {
    if (existed_) {
        WriteBytes(path, before_);
    } else {
        std::filesystem::remove(path);
    }
}
