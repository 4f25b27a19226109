// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/display_plane.h"

#include "common/unit_conversion.h"

namespace ampvane {

PlaneDesc ConvertToInternalUnits(const DisplayPlane& gathered, const AnalysisOptions& options) {
    PlaneDesc plane = gathered.asTyped;
    DriveSystemDesc& drive = plane.Drive;
    if (options.Metric) {
        plane.Motor.Weight = OuncesFromGrams(plane.Motor.Weight);
        plane.Cell.Weight = OuncesFromGrams(plane.Cell.Weight);
        drive.Weight = OuncesFromGrams(drive.Weight);
        plane.ESC.Weight = OuncesFromGrams(plane.ESC.Weight);
        AirframeDesc& airframe = plane.Airframe;
        airframe.EmptyWeight = OuncesFromGrams(airframe.EmptyWeight);
        airframe.WingSpan = InchesFromCentimetres(airframe.WingSpan);
        airframe.WingArea = SquareInchesFromSquareDecimetres(airframe.WingArea);
        airframe.MetricUnits = false;
        FilterDesc& filter = plane.Filter;
        filter.MinThrust = options.Newtons ? OuncesFromNewtons(filter.MinThrust) : OuncesFromGrams(filter.MinThrust);
        filter.MinSpeed = MphFromMetresPerSecond(filter.MinSpeed);
        filter.MaxSpeed = MphFromMetresPerSecond(filter.MaxSpeed);
        if (drive.Kind == FanDrive) {
            for (double* length : {&drive.FanDiameter(), &drive.FanPitch(), &drive.HubDiameter(),
                                   &drive.IntakeDiameter(), &drive.IntakeLength(), &drive.ExhaustDiameter(),
                                   &drive.ExhaustLength()})
                *length = InchesFromCentimetres(*length);
        }
    }
    if (options.MetricPropSizes && drive.Kind == PropellerDrive) {
        for (double* size : {&drive.DiameterFrom(), &drive.DiameterTo(), &drive.DiameterBy(), &drive.PitchFrom(),
                             &drive.PitchTo(), &drive.PitchBy()})
            *size = InchesFromCentimetres(*size);
    }
    return plane;
}

} // namespace ampvane
