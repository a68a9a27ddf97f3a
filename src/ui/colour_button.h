#pragma once
// A button showing a colour; a click opens the colour chooser preset with it.

#include <QPushButton>
#include <cstdint>

namespace almx {

class ColourButton : public QPushButton {
    Q_OBJECT
  public:
    explicit ColourButton(std::uint32_t colour, QWidget* parent = nullptr);

    std::uint32_t Colour() const { return colour_; }
    void SetColour(std::uint32_t colour);

  signals:
    void ColourChanged(std::uint32_t colour);

  private:
    void Choose();

    std::uint32_t colour_;
};

// The colour chooser preset with the colour; false when cancelled.
bool ChooseColour(QWidget* parent, const QString& caption, std::uint32_t& colour);

}  // namespace almx
