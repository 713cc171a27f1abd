#pragma once
#include <cstddef>

class OffscreenTarget;

// Reads recorded frames back through two pixel-pack buffers, one frame behind the renderer:
// the copy of frame n is only queued after it is drawn, and its bytes are taken while frame n+1
// renders. A GPU then draws one frame while the one before travels to the encoder, instead of
// the CPU waiting for each picture to finish and copy; frames still come out whole and in order.
class FrameReadback {
  public:
    FrameReadback() = default;
    FrameReadback(const FrameReadback&) = delete;
    FrameReadback& operator=(const FrameReadback&) = delete;
    ~FrameReadback();

    // Two buffers of one frame each of the target's size.
    void create(const OffscreenTarget& target);
    // Queues the copy of the target's current picture. Call it at most twice before taking one.
    void queue();
    // Frames queued and not yet taken.
    int pending() const { return queued; }
    // The oldest queued frame, RGBA, rows bottom-up; valid until release().
    const unsigned char* take();
    void release();

  private:
    const OffscreenTarget* source = nullptr;
    unsigned int buffers[2] = {0, 0};
    int next = 0;   // the buffer the next queue() fills
    int queued = 0; // frames in the buffers, 0 to 2
    int oldest() const { return (next + 2 - queued) % 2; }
};
