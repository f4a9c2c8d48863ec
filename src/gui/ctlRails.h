// The tracks and rails switches of a rail job: which track the shown
// input-files page belongs to, and which tracks and rails are switched on
// (bit 1 the left one, bit 2 the right one). Nothing in the conversion reads
// the switches, so the control keeps them without showing anything.
#pragma once

#include <QWidget>

namespace vialto {

class ctlRails : public QWidget {
    Q_OBJECT
  public:
    explicit ctlRails(QWidget *parent = nullptr);
    int NumberOfTrack() const { return track_; }
    void SetNumberOfTrack(int track) { track_ = track; }
    int TracksOn() const { return tracksOn_; }
    void SetTracksOn(int tracks) { tracksOn_ = tracks; }
    int RailsOn() const { return railsOn_; }

  private:
    int track_ = 0;
    int tracksOn_ = 0;
    int railsOn_ = 3;
};

} // namespace vialto
