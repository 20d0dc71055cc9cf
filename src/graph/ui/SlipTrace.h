#pragma once

#include "graph/Channel.h"
#include "graph/RunSettings.h"
#include "graph/ui/TraceSource.h"

#include <QObject>

#include <array>
#include <optional>

class Channels;
class QCPAxis;
class QCPGraph;
class QCPItemStraightLine;
class QCPItemText;
class QLineEdit;
class TGraphChart;
class TSlipSetup;

// The slip of the driven wheels on an axis of its own, with the unit's three "Assert at"
// thresholds over it, its readout left of the six and its setup dialog. The settings it reads
// (which wheel each channel sits on, the thresholds, the logger's rate) come from the window's
// settings source before each refresh.
class SlipTrace : public QObject, public TraceSource {
    Q_OBJECT
public:
    explicit SlipTrace(TGraphChart &graph);

    bool update() override;
    void fillTraces(double lower, double upper, int columns) override;

    const RunSettings &settings() const { return m_settings; }
    Axle driven() const { return m_driven; }
    void setDriven(Axle a);  // kept in the option store
    const Channel &slip();   // computed on demand
    // The slip at time t of these channels' wheels, from that one sample; none outside the run.
    std::optional<double> slipAt(const Channels &channels, double t) const;
    // The slip of a whole run under the settings in force.
    void compute(const Channels &channels, Channel &out) const;

    TSlipSetup *setup() const { return m_setup; }
    QCPAxis *axis() const { return m_axis; }
    const std::array<QCPItemStraightLine *, 3> &thresholdLines() const { return m_lines; }
    const std::array<QCPItemText *, 3> &thresholdLabels() const { return m_labels; }

private:
    void buildThresholds();
    void placeThresholds();
    void shown(bool on);

    TGraphChart &m_g;
    QCPAxis *m_axis = nullptr;
    QCPGraph *m_graph = nullptr;
    QLineEdit *m_readout = nullptr;
    std::array<QCPItemStraightLine *, 3> m_lines{};
    std::array<QCPItemText *, 3> m_labels{};
    TSlipSetup *m_setup = nullptr;

    RunSettings m_settings;
    Axle m_driven = Axle::Rear;
    Channel m_slip;
    struct Key {
        quint64 revision;
        std::array<Axle, 4> axleOf;
        Axle driven;
        bool operator==(const Key &) const = default;
    };
    std::optional<Key> m_slipFor;
};
