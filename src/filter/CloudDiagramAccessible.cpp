#include "filter/CloudDiagramAccessible.h"

#include "filter/TOclouds.h"
#include "filter/diagram/DiagramSpeech.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QScrollArea>

#include <map>

namespace {

QString local(const std::string& text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

// One circle or pin of the diagram, found again by its address on every question, so that an
// interface whose shape has gone reports itself invalid.
class ShapeInterface : public QAccessibleInterface {
public:
    ShapeInterface(TOclouds* diagram, QAccessibleInterface* parentInterface, const void* shape)
        : diagram_(diagram), parent_(parentInterface), shape_(shape) {}

    bool isValid() const override { return index() >= 0; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return parent_->window(); }
    QAccessibleInterface* parent() const override { return parent_; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return QAccessible::ListItem; }

    QString text(QAccessible::Text t) const override {
        const int i = index();
        if (i < 0)
            return {};
        if (const TQELlc* circle = diagram_->GetCircle(i)) {
            if (t == QAccessible::Name)
                return local(CircleAccessibleName(*circle));
            if (t == QAccessible::Description)
                return local(CircleAccessibleDescription(*circle));
            if (t == QAccessible::Value)
                return local(CircleAccessiblePlace(*circle));
        } else if (const TQELpin* pin = diagram_->GetPin(i - diagram_->CircleCount())) {
            if (t == QAccessible::Name)
                return local(PinAccessibleName(*diagram_, *pin));
            if (t == QAccessible::Description)
                return local(PinAccessibleDescription(*diagram_, *pin));
        }
        return {};
    }

    QRect rect() const override {
        const int i = index();
        if (i < 0)
            return {};
        const QRect r = diagram_->ShapeRect(i);
        return QRect(diagram_->PB1->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        const int i = index();
        if (i < 0) {
            s.invalid = true;
            return s;
        }
        s.selectable = true;
        s.focusable = true;
        const bool current = diagram_->CurrentShape() == i;
        s.selected = current;
        s.focused = current && diagram_->btnTarget->hasFocus();
        const QRect r = diagram_->ShapeRect(i);
        s.offscreen = !r.intersects(diagram_->PB1->visibleRegion().boundingRect());
        return s;
    }

    const void* shape() const { return shape_; }

private:
    int index() const {
        if (!diagram_)
            return -1;
        for (int i = 0; i < diagram_->CircleCount(); ++i)
            if (diagram_->GetCircle(i) == shape_)
                return i;
        for (int i = 0; i < diagram_->PinCount(); ++i)
            if (diagram_->GetPin(i) == shape_)
                return diagram_->CircleCount() + i;
        return -1;
    }

    QPointer<TOclouds> diagram_;
    QAccessibleInterface* parent_;
    const void* shape_;
};

// The key target: a list of the diagram's shapes.
class DiagramInterface : public QAccessibleWidget {
public:
    explicit DiagramInterface(TCloudKeyTarget* target)
        : QAccessibleWidget(target, QAccessible::List), diagram_(target->Owner()) {}

    ~DiagramInterface() override {
        for (const auto& entry : children_)
            QAccessible::deleteAccessibleInterface(entry.second);
    }

    QString text(QAccessible::Text t) const override {
        if (!diagram_)
            return {};
        if (t == QAccessible::Name)
            return widget()->accessibleName().isEmpty() ? local(DiagramAccessibleName())
                                                        : widget()->accessibleName();
        if (t == QAccessible::Description)
            return local(DiagramAccessibleDescription(*diagram_));
        return {};
    }

    // The diagram's view, not the hidden button.
    QRect rect() const override {
        if (!diagram_)
            return {};
        const QWidget* view = diagram_->SB1->viewport();
        return QRect(view->mapToGlobal(QPoint(0, 0)), view->size());
    }

    int childCount() const override {
        return diagram_ ? diagram_->CircleCount() + diagram_->PinCount() : 0;
    }

    QAccessibleInterface* child(int index) const override {
        const void* shape = shapeAt(index);
        if (!shape)
            return nullptr;
        const_cast<DiagramInterface*>(this)->dropGone();
        auto found = children_.find(shape);
        if (found != children_.end())
            return QAccessible::accessibleInterface(found->second);
        auto* iface = new ShapeInterface(diagram_, const_cast<DiagramInterface*>(this), shape);
        children_[shape] = QAccessible::registerAccessibleInterface(iface);
        return iface;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int i = 0; i < childCount(); ++i) {
            const auto found = children_.find(shapeAt(i));
            if (found != children_.end() &&
                QAccessible::accessibleInterface(found->second) == child)
                return i;
        }
        return -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        if (!diagram_)
            return nullptr;
        const QPoint p = diagram_->PB1->mapFromGlobal(QPoint(x, y));
        // Pins lie above circles; the last drawn wins.
        for (int i = childCount() - 1; i >= 0; --i)
            if (diagram_->ShapeRect(i).contains(p))
                return child(i);
        return nullptr;
    }

    QAccessibleInterface* focusChild() const override {
        return diagram_ ? child(diagram_->CurrentShape()) : nullptr;
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.invisible = false; // the button lies beneath the view, which shows the diagram
        s.offscreen = false;
        return s;
    }

private:
    const void* shapeAt(int index) const {
        if (!diagram_ || index < 0)
            return nullptr;
        if (index < diagram_->CircleCount())
            return diagram_->GetCircle(index);
        return diagram_->GetPin(index - diagram_->CircleCount());
    }

    // Interfaces of shapes that have gone are deleted.
    void dropGone() {
        for (auto it = children_.begin(); it != children_.end();) {
            QAccessibleInterface* iface = QAccessible::accessibleInterface(it->second);
            if (!iface || !iface->isValid()) {
                if (iface)
                    QAccessible::deleteAccessibleInterface(it->second);
                it = children_.erase(it);
            } else {
                ++it;
            }
        }
    }

    QPointer<TOclouds> diagram_;
    mutable std::map<const void*, QAccessible::Id> children_;
};

QAccessibleInterface* diagramFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("TCloudKeyTarget"))
        if (auto* target = qobject_cast<TCloudKeyTarget*>(object))
            return new DiagramInterface(target);
    return nullptr;
}

} // namespace

void InstallDiagramAccessibility() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(diagramFactory);
}

void NotifyCurrentShape(QWidget* keyTarget, int index) {
    if (index < 0)
        return;
    QAccessibleEvent focus(keyTarget, QAccessible::Focus);
    focus.setChild(index);
    QAccessible::updateAccessibility(&focus);
    QAccessibleEvent selection(keyTarget, QAccessible::Selection);
    selection.setChild(index);
    QAccessible::updateAccessibility(&selection);
}

void NotifyShapeChanged(QWidget* keyTarget, int index) {
    QAccessibleInterface* diagram = QAccessible::queryAccessibleInterface(keyTarget);
    QAccessibleInterface* shape = diagram ? diagram->child(index) : nullptr;
    if (!shape)
        return;
    QAccessibleValueChangeEvent changed(shape, shape->text(QAccessible::Value));
    QAccessible::updateAccessibility(&changed);
}

void NotifyDiagramChanged(QWidget* keyTarget) {
    QAccessibleEvent reorder(keyTarget, QAccessible::ObjectReorder);
    QAccessible::updateAccessibility(&reorder);
    QAccessibleEvent description(keyTarget, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&description);
}
