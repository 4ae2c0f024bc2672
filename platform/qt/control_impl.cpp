#include "platform/qt/control_impl.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "platform/colour.h"
#include "platform/qt/list_box_widget.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/widget_handle.h"

namespace platform {

void paint_background(QWidget* w, std::uint32_t colour_bgr) {
  QPalette palette = w->palette();
  QColor colour = colour_bgr == kButtonFace
                      ? QApplication::palette().color(QPalette::Button)
                      : QColor(static_cast<int>(colour_bgr & 0xFF),
                               static_cast<int>((colour_bgr >> 8) & 0xFF),
                               static_cast<int>((colour_bgr >> 16) & 0xFF));
  palette.setColor(QPalette::Window, colour);
  w->setPalette(palette);
  w->setAutoFillBackground(true);
  w->update();
}

namespace {

// CR LF starts a new line in a label or a tooltip; Qt would show the CR as
// a blank.
QString label_display_text(std::string_view gbk) {
  QString shown = to_qstring(gbk);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return shown;
}

// Combo boxes and list boxes show black text on white.
void black_on_white(QWidget* w) {
  QPalette p = w->palette();
  p.setColor(QPalette::Text, Qt::black);
  p.setColor(QPalette::Base, Qt::white);
  w->setPalette(p);
}

QWidget* make_widget(QWidget* parent, const ControlOptions& o) {
  switch (o.kind) {
    case ControlKind::button: {
      auto* b = new QPushButton(to_qstring(o.caption), parent);
      b->setAutoDefault(false);
      b->setDefault(false);
      return b;
    }
    case ControlKind::combo_box: {
      auto* c = new QComboBox(parent);
      c->setEditable(false);
      for (auto item : o.items) c->addItem(to_qstring(item));
      c->setCurrentIndex(o.selected);
      black_on_white(c);
      return c;
    }
    case ControlKind::list_box: {
      auto* l = new ListBoxWidget(parent);
      l->setSelectionMode(QAbstractItemView::SingleSelection);
      l->setSortingEnabled(false);
      l->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
      l->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
      black_on_white(l);
      return l;
    }
    case ControlKind::label: {
      auto* l = new QLabel(parent);
      l->setTextFormat(Qt::PlainText);
      l->setText(label_display_text(o.caption));
      if (o.label_layout == LabelLayout::centred_line) {
        l->setAlignment(Qt::AlignCenter);
        l->setWordWrap(false);
      } else {
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        l->setWordWrap(true);
      }
      QPalette p = l->palette();
      p.setColor(QPalette::WindowText, Qt::black);
      l->setPalette(p);
      // Presses go on to the window, so the label is a place to drag from.
      l->setAttribute(Qt::WA_TransparentForMouseEvents, false);
      l->setTextInteractionFlags(Qt::NoTextInteraction);
      return l;
    }
    case ControlKind::other:
      break;
  }
  return new QWidget(parent);
}

}  // namespace

ControlImpl::ControlImpl(QWidget* parent, const ControlOptions& o)
    : kind_(o.kind), widget_(make_widget(parent, o)), background_(kButtonFace) {
  if (kind_ == ControlKind::label) label_caption_ = text::Text(o.caption);
  widget_->hide();
  widget_->setGeometry(o.rect.left, o.rect.top, o.rect.width, o.rect.height);
  widget_->setFocusPolicy(o.focusable ? Qt::StrongFocus : Qt::NoFocus);
  widget_->setEnabled(!o.disabled);
  if (!o.object_name.empty()) {
    widget_->setObjectName(QString::fromUtf8(o.object_name.data(),
                                             static_cast<qsizetype>(o.object_name.size())));
  }
  if (kind_ == ControlKind::label) paint_background(widget_, background_);
}

void ControlImpl::show() {
  if (widget_) widget_->show();
}
bool ControlImpl::visible() const { return widget_ && widget_->isVisible(); }
bool ControlImpl::enabled() const { return widget_ && widget_->isEnabled(); }
bool ControlImpl::has_focus() const { return widget_ && widget_->hasFocus(); }

void ControlImpl::set_caption(std::string_view gbk) {
  if (!widget_) return;
  if (auto* l = qobject_cast<QLabel*>(widget_)) {
    label_caption_ = text::Text(gbk);
    // Painted with the window's next frame, not at once: a run sets the
    // caption once per file, far more often than a screen can show.
    l->setText(label_display_text(gbk));
  } else if (auto* b = qobject_cast<QPushButton*>(widget_)) {
    b->setText(to_qstring(gbk));
  } else {
    widget_->setWindowTitle(to_qstring(gbk));
  }
}

text::Text ControlImpl::caption() const {
  if (!widget_) return {};
  if (qobject_cast<QLabel*>(widget_) != nullptr) return label_caption_;
  if (auto* b = qobject_cast<QPushButton*>(widget_)) return from_qstring(b->text());
  if (auto* c = qobject_cast<QComboBox*>(widget_)) return from_qstring(c->currentText());
  return from_qstring(widget_->windowTitle());
}

void ControlImpl::append_item(std::string_view gbk) {
  if (auto* l = qobject_cast<QListWidget*>(widget_)) {
    l->addItem(to_qstring(gbk));
  } else if (auto* c = qobject_cast<QComboBox*>(widget_)) {
    c->addItem(to_qstring(gbk));
  }
}

int ControlImpl::item_count() const {
  if (auto* l = qobject_cast<QListWidget*>(widget_)) return l->count();
  if (auto* c = qobject_cast<QComboBox*>(widget_)) return c->count();
  return 0;
}

text::Text ControlImpl::item(int index) const {
  if (auto* l = qobject_cast<QListWidget*>(widget_)) {
    if (const QListWidgetItem* it = l->item(index)) return from_qstring(it->text());
  } else if (auto* c = qobject_cast<QComboBox*>(widget_)) {
    if (index >= 0 && index < c->count()) return from_qstring(c->itemText(index));
  }
  return {};
}

void ControlImpl::remove_all_items() {
  if (auto* l = qobject_cast<QListWidget*>(widget_)) {
    l->clear();
  } else if (auto* c = qobject_cast<QComboBox*>(widget_)) {
    c->clear();
  }
}

void ControlImpl::set_item_mark(int index, ItemMark mark, std::string_view tooltip_gbk) {
  if (auto* l = qobject_cast<ListBoxWidget*>(widget_)) l->set_mark(index, mark, label_display_text(tooltip_gbk));
}

void ControlImpl::clear_item_marks() {
  if (auto* l = qobject_cast<ListBoxWidget*>(widget_)) l->clear_marks();
}

int ControlImpl::selected_position() const {
  if (auto* c = qobject_cast<QComboBox*>(widget_)) return c->currentIndex();
  return -1;
}

void ControlImpl::set_selected_position(int position) {
  if (auto* c = qobject_cast<QComboBox*>(widget_)) c->setCurrentIndex(position);
}

int ControlImpl::width() const { return widget_ ? widget_->width() : 0; }
int ControlImpl::height() const { return widget_ ? widget_->height() : 0; }

void ControlImpl::set_background_colour(std::uint32_t colour_bgr) {
  background_ = colour_bgr;
  if (widget_) paint_background(widget_, colour_bgr);
}

std::uintptr_t ControlImpl::native_handle() const { return widget_ ? handle_of(widget_) : 0; }

void ControlImpl::on_clicked(std::function<void()> handler) {
  if (auto* b = qobject_cast<QPushButton*>(widget_)) {
    QObject::connect(b, &QPushButton::clicked, b, [handler = std::move(handler)] { handler(); });
  }
}

void ControlImpl::on_item_chosen(std::function<void()> handler) {
  if (auto* c = qobject_cast<QComboBox*>(widget_)) {
    // The event runs after the pick has been taken, as a posted message would.
    QObject::connect(c, &QComboBox::activated, c, [c, handler = std::move(handler)](int) {
      QMetaObject::invokeMethod(c, handler, Qt::QueuedConnection);
    });
  }
}

}  // namespace platform
