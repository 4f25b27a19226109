// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/airframe_desc.h"

// Airframe aerodynamics: the airfoil and drag codes stored with an airframe, and the coefficients
// derived from them. Angles in radians, everything else dimensionless.
//
// Airfoil code, decimal digits of |code|: VAATTCC... read as version × 1000000 + angle × 10000 +
// camber × 100 + thickness, with thickness = (TT + 2) / 200, camber = CC / 200 and angle =
// (AA − 10) half-degrees; a negative code marks a flat plate. Drag code: one digit per drag class
// plus one (gear, finish, protrusions, fuselage from the right), a version above them.

namespace ampvane {

// Decodes AirfoilInfo into Thickness, Camber, AngleOfAttack and FlatPlate; returns the version digit.
int DecodeAirfoil(AirframeDesc& airframe);
// Decodes DragInfo into the four drag classes; returns the version digit.
int DecodeDrag(AirframeDesc& airframe);

// The codes for the airframe's current fields. Each field is held to what its digits can carry
// (thickness 1 % to 50.5 %, camber 0 to 49.5 %, angle −5° to 44.5°, classes −1 to 8), so one field
// never spills into its neighbour.
std::int32_t EncodeAirfoil(const AirframeDesc& airframe);
std::int32_t EncodeDrag(const AirframeDesc& airframe);

// Span² / area (area in dm² × 100 when metric, span in cm); 8.0 for a wing without a positive span
// and area.
double AspectRatioOf(double span, double area, bool metric);

// Cl, ClMax, Stalled, the drag coefficients and Cd at the airframe's AngleOfAttack. An aspect ratio
// that is not positive is taken as 8.0.
void AirframeCoefficients(AirframeDesc& airframe);

// MaxLiftToDrag and ClOpt over the angles −5° to 25° in 0.5° steps; the airframe's own angle and
// coefficients are left as they were.
void BestLiftToDrag(AirframeDesc& airframe);

// Fills every derived field from the two codes and the wing's span and area: the airfoil (the
// default 12 % thickness, 4 % camber and 1° for the code 0), the drag classes, MetricUnits, the
// aspect ratio, the coefficients and the best lift-to-drag ratio. Callers that take span, area and
// empty weight from a window store them in the record first.
void DeriveAirframe(AirframeDesc& airframe, bool metric);

} // namespace ampvane
