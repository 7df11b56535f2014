// The window's shared scenarios (tests/window/scenarios.txt) in the Qt window, used as a
// person uses it: the clipboard and Ctrl+V, keys, the painted button, the text box's menu.
#include <QClipboard>
#include <QMenu>

#include "tests/window/job_gate.h"
#include "tests/window/scenario.h"
#include "tests/window/window_fixture.h"
#include "window/common/texts.h"

using namespace mardovane;
using namespace mardovane::testing;

namespace {

QString qstring(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

class WindowScenariosTest : public QObject, private WindowFixture {
    Q_OBJECT

  private slots:
    void every_scenario_data() {
        QTest::addColumn<int>("index");
        try {
            scenarios_ = all_scenarios();
        } catch (const std::runtime_error& error) {
            QFAIL(error.what());
        }
        for (std::size_t i = 0; i < scenarios_.size(); ++i) {
            QTest::newRow(scenarios_[i].name.c_str()) << static_cast<int>(i);
        }
    }

    void every_scenario() {
        QFETCH(int, index);
        const Scenario& scenario = scenarios_[static_cast<std::size_t>(index)];
        ScenarioJobs jobs(scenario);
        open_window(jobs.runner());
        for (const ScenarioStep& step : scenario.steps) {
            const QByteArray where = QByteArray("scenarios.txt:") + QByteArray::number(step.line) +
                                     " " + QByteArray::fromStdString(step.action);
            run(step, jobs);
            QVERIFY2(window_ == nullptr || settled(), where.constData());
            if (step.action == "split-store-fails") {
                QVERIFY2(failure_box() != nullptr, where.constData());
                failure_box()->close();
                QVERIFY(QTest::qWaitFor([&] { return failure_box() == nullptr; }));
            }
            if (step.expected) {
                QVERIFY2(window_ != nullptr, where.constData());
                QCOMPARE(text(), qstring(*step.expected));
            } else {
                QVERIFY2(window_ == nullptr, where.constData());
            }
        }
        close_window();
    }

  private:
    void run(const ScenarioStep& step, ScenarioJobs& jobs) {
        JobGate& gate = jobs.gate();
        const QString argument = qstring(step.argument);
        if (step.action == "paste") {
            QApplication::clipboard()->setText(argument);
            QTest::keyClick(text1(), Qt::Key_V, Qt::ControlModifier);
        } else if (step.action == "type") {
            text1()->moveCursor(QTextCursor::End);
            type(argument);
        } else if (step.action == "type-here") {
            type(argument);
        } else if (step.action == "select") {
            const auto [from, to] = selection_of(step);
            select(static_cast<int>(from), static_cast<int>(to));
        } else if (step.action == "split") {
            click_split();
        } else if (step.action == "split-selection") {
            QMenu* menu = context_menu();
            QVERIFY(menu != nullptr);
            auto* item = menu->findChild<QAction*>(QStringLiteral("split-selection"));
            QVERIFY(item != nullptr);
            if (item->isEnabled()) {
                item->trigger();
            }
            menu->close();
            // A desktop gives the keys back to the window when its menu goes; the
            // offscreen platform leaves the closed menu active, so the test does it.
            window_->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        } else if (step.action == "key") {
            const QString key = argument;
            Qt::KeyboardModifiers modifiers = Qt::ControlModifier;
            if (key.contains(QStringLiteral("shift"))) {
                modifiers |= Qt::ShiftModifier;
            }
            const Qt::Key pressed = key.endsWith(QStringLiteral("enter")) ? Qt::Key_Return
                                    : key.endsWith(QLatin1Char('z'))      ? Qt::Key_Z
                                                                          : Qt::Key_Y;
            QTest::keyClick(text1(), pressed, modifiers);
        } else if (step.action == "clear-during-split" || step.action == "close-during-split") {
            gate.close();
            click_split();
            QVERIFY(gate.wait_entered());
            if (step.action == "clear-during-split") {
                window_->controller().run(layout::Command::Clear);  // Label4 is out of reach
                gate.open();
            } else {
                window_.reset();  // returns at once, with the split still held back
                gate.open();
                QTRY_VERIFY(!BackgroundSplit::any_running());
            }
        } else if (step.action == "split-store-fails") {
            jobs.fail_next_store();
            click_split();
        } else {
            QFAIL(("unknown action " + step.action).c_str());
        }
    }

    std::vector<Scenario> scenarios_;
};

QTEST_MAIN(WindowScenariosTest)
#include "scenarios_test.moc"
