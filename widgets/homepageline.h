#pragma once

#include <QWidget>

// Decorative separator of the homepage: the end-point picture ":/material/Icon/homepagelinepoint.png"
// at both ends, joined by six thin #202020 lines in three pairs (rows 0-1, 4-5, 8-9). GUI thread
// only.
class homepageline final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(homepageline)

public:
    explicit homepageline(QWidget* parent = nullptr);
    ~homepageline() override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
