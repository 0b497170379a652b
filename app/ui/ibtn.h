#pragma once
// The picture button of the navigation: an image control that shifts by (MoveRight, MoveDown)
// pixels while a mouse button is held on it and moves back on release. Its click is the command.

#include <QLabel>
#include <cstdint>

class IBtn : public QLabel {
    Q_OBJECT
  public:
    explicit IBtn(QWidget* parent = nullptr);

    QString Path() const { return m_path; }
    void SetPath(const QString& path) { m_path = path.left(255); }
    std::uint8_t MoveDown = 1;
    std::uint8_t MoveRight = 1;

  signals:
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QString m_path;
    bool m_down = false;
};
