// The tool and compensation report: the tools changed in, the compensation (D) numbers used, and for every
// compensated stretch the smallest arc radius on the inside of the contour (G03 under G41, G02 under G42),
// with a warning when half the tool diameter is larger than that radius.
#pragma once

#include "conversion/RunHost.h"
#include "nc/NcAnalyzer.h"

class ToolReport {
public:
    // The report writes its lines to the host and keeps the two minima in the host's fields, where they
    // outlive the run.
    explicit ToolReport(RunHost& host) : host_(host) {}

    // Every run starts with no tool and no open stretch reported.
    void reset();
    // Both run after every line, tool check first.
    void checkTool(const NcAnalyzer& analyzer);
    void checkCompensation(const NcAnalyzer& analyzer);

private:
    void reportStretchMinimum(const NcAnalyzer& analyzer);

    RunHost& host_;
    int lastTool_ = 0;
    int lastD_ = 0;
};
