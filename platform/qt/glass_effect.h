#pragma once
// The colour key of a layered window, drawn by the window itself: after the
// window and its controls have painted, every opaque pixel of exactly the key
// colour becomes transparent, or glass where the glass frame reaches.
#include <QGraphicsEffect>
#include <QMargins>
#include <QRgb>
#include <optional>

namespace platform {

class GlassEffect : public QGraphicsEffect {
  Q_OBJECT
 public:
  explicit GlassEffect(QObject* parent = nullptr) : QGraphicsEffect(parent) {}

  void set_key(QRgb key);
  // Negative margins: the whole window is glass.
  void set_glass(const QMargins& margins);

  // How a key-coloured pixel is shown: glass keeps the key colour at about
  // half opacity, elsewhere the pixel is fully transparent.
  static constexpr int kGlassAlpha = 0x80;

 protected:
  void draw(QPainter* painter) override;

 private:
  bool in_glass(int x, int y, int width, int height) const;

  std::optional<QRgb> key_;
  std::optional<QMargins> glass_;
};

}  // namespace platform
