#pragma once
// Lexora's main window on a copy of the seven sample laws, shown under the offscreen platform,
// with the helpers the window tests share.
#include "platform/settings.h"
#include "platform/ui/keyedtree.h"
#include "tests/support/samplelaws.h"
#include "viewer/browser/ui/frmtree.h"
#include "viewer/shell/state.h"
#include "viewer/shell/ui/mdimain.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidgetItem>

#include <memory>

namespace viewer {

class BrowserTest : public testsupport::SampleLawsTest {
  protected:
    void SetUp() override {
        SampleLawsTest::SetUp();
        platform::Settings s;
        s.save(QStringLiteral("PATH"), programDir());
        s.save(QStringLiteral("INIT"), QStringLiteral("TRUE"));
        state() = ViewerState{};
        main_ = std::make_unique<MDIMain>();
        main_->resize(1300, 900);
        main_->show();
        main_->Form_Load();
    }
    void TearDown() override {
        main_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    MDIMain& w() { return *main_; }
    QPushButton* button(const QString& name) {
        for (QPushButton* b : w().CmdHouten)
            if (b->text() == name) return b;
        return nullptr;
    }
    void lookup(const QString& typed) {
        w().TxtJouFind->setText(typed);
        QTest::keyClick(w().TxtJouFind, Qt::Key_Return);
    }
    static QString treeKeys(const FrmTree* t) {
        QStringList out;
        for (const QTreeWidgetItem* n : t->TView1->nodes()) out << platform::KeyedTree::keyOf(n);
        return out.join(u' ');
    }
    std::unique_ptr<MDIMain> main_;
};

}  // namespace viewer
