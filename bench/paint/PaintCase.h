#pragma once

// A case of the paint benchmark: a window that paints itself, and the same primitives drawn
// with QPainter straight into an image. Each case lives in its own source file and registers
// itself with REGISTER_PAINT_CASE; the runner (PaintBench.cpp) times both and prints them.

#include <QImage>
#include <QSize>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class IPaintSubject {
public:
    virtual ~IPaintSubject() = default;
    virtual QSize Size() const = 0;
    // One frame as the program paints it (the window's paint path).
    virtual void PaintWindow(QImage& target) = 0;
    // The same lines, fills and texts drawn directly, with no window in between.
    virtual void PaintDirect(QImage& target) = 0;
};

struct PaintCase {
    std::string name;
    double goalRatio = 0; // window / direct
    double goalMs = 0;    // 0: no limit of its own
    std::function<std::unique_ptr<IPaintSubject>()> make;
};

std::vector<PaintCase>& PaintCases();

struct PaintCaseRegistration {
    explicit PaintCaseRegistration(PaintCase c) { PaintCases().push_back(std::move(c)); }
};

#define REGISTER_PAINT_CASE(id, ...)                                                               \
    static PaintCaseRegistration id##Registration {                                                \
        __VA_ARGS__                                                                                \
    }
