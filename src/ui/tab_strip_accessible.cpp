#include "ui/tab_strip_accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <vector>

#include "sheets/sheet_control.h"
#include "ui/qt_convert.h"
#include "ui/sheet_tab_strip.h"

namespace plu {

namespace {

class TabAccessible : public QAccessibleInterface {
  public:
    TabAccessible(SheetTabStrip* strip, int index) : strip_(strip), index_(index) {}

    bool isValid() const override { return strip_ && index_ < strip_->Control().Tabs().Count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return strip_ ? strip_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(strip_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name || !isValid()) return {};
        return ToQt(strip_->Control().Tabs().Caption(index_)).trimmed();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) return {};
        const QRect local = ToQRect(strip_->Layout().TabRect(index_));
        return QRect(strip_->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.selectable = true;
        if (isValid() && strip_->Control().TabIndex() == index_) {
            s.selected = true;
            s.active = true;
        }
        return s;
    }

  private:
    QPointer<SheetTabStrip> strip_;
    int index_;
};

class TabStripAccessible : public QAccessibleWidget {
  public:
    explicit TabStripAccessible(SheetTabStrip* strip)
        : QAccessibleWidget(strip, QAccessible::PageTabList), strip_(strip) {}
    ~TabStripAccessible() override {
        for (QAccessible::Id id : ids_)
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return Tabs() + QAccessibleWidget::childCount(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0) return nullptr;
        if (index >= Tabs()) return QAccessibleWidget::child(index - Tabs());
        while (static_cast<int>(ids_.size()) <= index) {
            auto* tab = new TabAccessible(strip_, static_cast<int>(ids_.size()));
            ids_.push_back(QAccessible::registerAccessibleInterface(tab));
        }
        return QAccessible::accessibleInterface(ids_[static_cast<size_t>(index)]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (size_t i = 0; i < ids_.size() && static_cast<int>(i) < Tabs(); ++i)
            if (QAccessible::accessibleInterface(ids_[i]) == child) return static_cast<int>(i);
        const int widget = QAccessibleWidget::indexOfChild(child);
        return widget < 0 ? -1 : widget + Tabs();
    }

  private:
    int Tabs() const { return strip_ ? strip_->Control().Tabs().Count() : 0; }

    SheetTabStrip* strip_;
    mutable std::vector<QAccessible::Id> ids_;
};

QAccessibleInterface* Factory(const QString&, QObject* object) {
    if (auto* strip = dynamic_cast<SheetTabStrip*>(object)) return new TabStripAccessible(strip);
    return nullptr;
}

}  // namespace

void InstallTabStripAccessibility() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(Factory);
}

}  // namespace plu
