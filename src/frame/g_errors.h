#ifndef G3GEOM_FRAME_G_ERRORS_H
#define G3GEOM_FRAME_G_ERRORS_H

#include "runtime/c_error.h"
#include "runtime/g_export.h"

// The library's error constants, shared with the host's modules. Each is built
// from its message text when the library is loaded and never changes; two
// constants with the same text are still two distinct errors. Most of them are
// not raised inside the library: they are the vocabulary the host's modules use.
//
// G_ERRORS_TABLE(X) holds the whole catalogue, X(name, message text), in the
// order in which it is built; it serves both for the declarations below and for
// the definitions. Texts are kept exactly as the modules that share them
// expect, misspellings included.
// clang-format off
#define G_ERRORS_TABLE(X) \
  X(GerrArcTooLarge, "G#Err#arc too large") \
  X(GerrArcTooNarrow, "G#Err#arc too narrow") \
  X(GerrBadAngle, "G#Err#angle out of range") \
  X(GerrBadPosition, "G#Err#position outside modeler resolution") \
  X(GerrBadThickness, "G#Err#bad thickness") \
  X(GerrBoxesNoIntersection, "G#Err#boxes without intersection") \
  X(GerrBooleanFailure, "G#Err#boolean failure") \
  X(GerrCrossingEdge, "G#Err#curve crosses axis") \
  X(GerrCurveTooShort, "G#Err#curve too short") \
  X(GerrDistanceIsNotNull, "G#Err#distance is not null") \
  X(GerrDistanceIsNull, "G#Err#distance is null") \
  X(GerrEdgeDidNotVanish, "G#Err#edge should have disappeared") \
  X(GerrInconsistentPairOfFaces, "G#Err#inconsistent pair of faces") \
  X(GerrInvalidFace, "G#Err#invalid face") \
  X(GerrInvalidFilePointExpected, "G#Err#invalid file (point expected)") \
  X(GerrInvalidFileVectorExpected, "G#Err#invalid file (vector expected)") \
  X(GerrInvalidGeometry, "G#Err#invalid geometry") \
  X(GerrInvalidPointString, "G#Err#cannot convert string into point") \
  X(GerrInvalidRange, "G#Err#invalid range") \
  X(GerrInvalidTokenIndex, "G#Err#invalid token index") \
  X(GerrInvalidVectorString, "G#Err#cannot convert string into vector") \
  X(GerrLengthTooShort, "G#Err#length too short") \
  X(GerrNoIntersection, "G#Err#no intersection") \
  X(GerrNonManifold, "G#Err#non manifold") \
  X(GerrNoSolution, "G#Err#no solution") \
  X(GerrNotImplemented, "G#Err#function not implemented") \
  X(GerrNullVector, "G#Err#null vector") \
  X(GerrParallelAxes, "G#Err#parallel axes") \
  X(GerrParasolidError, "G#Err#Parasolid error") \
  X(GerrParasolidNotAvailable, "G#Err#Parasolid not available") \
  X(GerrPointsTooNear, "G#Err#points too near") \
  X(GerrRadiiBoth0, "G#Err#both radii are zero") \
  X(GerrRadiusIsNegative, "G#Err#radius is negative") \
  X(GerrRadiusIsZeroOrNegative, "G#Err#radius is zero or negative") \
  X(GerrSewingFailed, "G#Err#sewing failed") \
  X(GerrSweepFailed, "G#Err#sweep failed") \
  X(GerrTransfoChangeAngle, "G#Err#transformation do not preserve angles") \
  X(GerrToleranceTooTight, "G#Err#Tolerance too tight") \
  X(GerrTrimLoopDegenrate, "G#Err#Trimming loop degenerated") \
  X(GerrUnableToFindEdgeGeometry, "G#Err#unable to fing geometry for edge") \
  X(GerrUnableToFindFaceGeometry, "G#Err#unable to fing geometry for face") \
  X(GerrUnableToFindVertexGeometry, "G#Err#unable to fing geometry for vertex") \
  X(GerrUnableToFixBlends, "G#Err#unable to fix blends") \
  X(GerrUnableToOffsetBody, "G#Err#unable to offset") \
  X(GerrUnableToInvert, "G#Err#unable to invert matrix") \
  X(GerrUnableToMakeBody, "G#Err#unable to make body") \
  X(GerrUnableToMakeBodyWithArea, "G#Err#unable to make body (area not ordered)") \
  X(GerrUnableToSewNoCoincident, "G#Err#unable to sew (no coincident edges)") \
  X(GerrUnsuitableTopology, "G#Err#unsuitable topology (face or edge must not touch the intersection curve)") \
  X(GerrWrongEntity, "G#Err#the entity is not of type expected") \
  X(GerrWrongTransformation, "G#Err#wrong transformation") \
  X(GerrImpossibleSpin, "G#Err#Impossible spin") \
  X(GerrFacetUnspecified, "G#Facet#Err#unspecified error") \
  X(GerrFacetSurfaceAngTolTooSmall, "G#Err#facet#Surface angular tolerance too small") \
  X(GerrFacetSurfaceDisTolTooSmall, "G#Err#facet#Surface distance tolerance too small") \
  X(GerrFacetCurveAngTolTooSmall, "G#Facet#Err#curve angular tolerance too small") \
  X(GerrFacetCurveDisTolTooSmall, "G#Facet#Err#curve distance tolerance too small") \
  X(GerrFacetChordLengthTolTooSmall, "G#Facet#Err#chord length tolerance too small") \
  X(GerrFacetFacetWidthTolTooSmall, "G#Facet#Err#facet width tolerance too small") \
  X(GerrParasolidBlendNoBlend, "G#Fillet#Err#edge has no blend") \
  X(GerrParasolidBlendTangent, "G#Fillet#Err#blend on tangent edge") \
  X(GerrParasolidBlendSingularity, "G#Fillet#Err#blend on surface singularity") \
  X(GerrParasolidBlendVertex, "G#Fillet#Err#vertex too complex") \
  X(GerrParasolidBlendSheet, "G#Fillet#Err#edge is laminar") \
  X(GerrParasolidBlendGeneral, "G#Fillet#Err#edge has non manifold vertex") \
  X(GerrParasolidBlend2Edge, "G#Fillet#Err#blend ends on illegal 2 edge vertex") \
  X(GerrParasolidBlendChamfer, "G#Fillet#Err#edge unsuited to asymetric chanfer") \
  X(GerrParasolidBlendBsurf, "G#Fillet#Err#invalid extension of B-surface") \
  X(GerrParasolidBlendRange, "G#Fillet#Err#range inconsistent with adjacent blended edge") \
  X(GerrParasolidBlendType, "G#Fillet#Err#blend type inconsistent with adjacent blended edge") \
  X(GerrParasolidBlendEdge, "G#Fillet#Err#adjoining edge not blended") \
  X(GerrParasolidBlendLoop, "G#Fillet#Err#blend completely overlaps edge loop") \
  X(GerrParasolidBlendOverlap, "G#Fillet#Err#overlapping blends") \
  X(GerrParasolidBlendOverlapEdge, "G#Fillet#Err#unblended edge overlapped by blend") \
  X(GerrParasolidBlendBadEnd, "G#Fillet#Err#undermined problem at end of blend") \
  X(GerrParasolidBlendFace, "G#Fillet#Err#range of blend on face too large") \
  X(GerrParasolidBlendOverlapEnd, "G#Fillet#Err#illegal overlap on end boundary") \
  X(GerrParasolidBlendEnd, "G#Fillet#Err#blend has illegal end boundary") \
  X(GerrParasolidBlendChamferIntsec, "G#Fillet#Err#can't intersect chamfers at vertex") \
  X(GerrParasolidBlendEdgeIntsec, "G#Fillet#Err#end boundary intersects unblended edge") \
  X(GerrParasolidBlendOtherEdge, "G#Fillet#Err#illegal blend") \
  X(GerrParasolidBlendCliffedge, "G#Fillet#Err#cliff edge blend range inconsistent with cliff edge") \
  X(GerrParasolidBlendSelfInt, "G#Fillet#Err#blend face is self intersecting") \
  X(GerrParasolidBlendFaceFace, "G#Fillet#Err#face-face inconsistency") \
  X(GerrParasolidBooleanOppSheet, "G#Boolean#Err#attempt to unite opposed sheets") \
  X(GerrParasolidBooleanSolidVoid, "G#Boolean#Err#solid has illegal void") \
  X(GerrParasolidBooleanPartCoi, "G#Boolean#Err#failure due to partial coincidence") \
  X(GerrParasolidBooleanImprintFail, "G#Boolean#Err#face imprinting operation failed") \
  X(GerrParasolidBooleanIntersectFail, "G#Boolean#Err#face clashing operation failed") \
  X(GerrParasolidBooleanInvalidFace, "G#Boolean#Err#invalid face detected") \
  X(GerrParasolidFxfNofault, "G#Err#blend succeeded") \
  X(GerrParasolidFxfSheet, "G#Err#blend not attached, nor faces not been trimmed") \
  X(GerrParasolidFxfUnknown, "G#Err#blend not created") \
  X(GerrParasolidFxfInsufficient, "G#Err#insufficient data") \
  X(GerrParasolidFxfInconsistent, "G#Err#inconsistent data") \
  X(GerrParasolidFxfWall, "G#Err#invalid faces") \
  X(GerrParasolidFxfRange, "G#Err#invalid range definition") \
  X(GerrParasolidFxfCliff, "G#Err#invalid cliff edge data") \
  X(GerrParasolidFxfThl, "G#Err#invalid tangent hold line data") \
  X(GerrParasolidFxfChl, "G#Err#invalid conic hold line data") \
  X(GerrParasolidFxfCurved, "G#Err#face too tightly curved") \
  X(GerrParasolidFxfSmall, "G#Err#blend range too small") \
  X(GerrParasolidFxfLarge, "G#Err#blend range too large") \
  X(GerrParasolidFxfLeft, "G#Err#incorrect face1 sens") \
  X(GerrParasolidFxfRight, "G#Err#incorrect face2 sens") \
  X(GerrParasolidFxfBoth, "G#Err#incorrect both face1 and face2 sens") \
  X(GerrParasolidFxfSheetClash, "G#Err#blend sheet intersect") \
  X(GerrParasolidFxfWallClash, "G#Err#face-face inconsistency") \
  X(GerrParasolidFxfFaceFace, "G#Err#face-face inconsistency") \
  X(GerrParasolidFxfSelfInt, "G#Err#blend contains faces with self intersecting") \
  X(GerrParasolidFxfRhoValue, "G#Err#invalid rho value") \
  X(GerrParasolidFxfAsymmetric, "G#Err#asymmetric ranges") \
  X(GerrParasolidFxfBadSpine, "G#Err#invalid parameter spine") \
  X(GerrParasolidFxfBadRibs, "G#Err#invalid rib controls") \
  X(GerrParasolidInvalidFileSuffix, "G#Err#invalid suffix for Parasolid file") \
  X(GerrParasolidSelfIntersectingShape, "G#Err#would produce a self-intersecting surface") \
  X(GerrParasolidSeveralShapesToSave, "G#Err#unable to save several shapes in one file before version 9") \
  X(GerrParasolidUnknownPartType, "G#Err#unknown part type in file") \
  X(GerrParasolidUnspecifiedError, "G#unspecified error") \
  X(GerrParasolidFragment, "G#Err#operation would cause sheet to break appart") \
  X(GerrParasolidImpossibleSweep, "G#Err#cannot determine swept geometry") \
  X(GerrParasolidUnsuitableEntity, "G#Err#unsuitable entity") \
  X(GerrParasolidExistingAttrib, "G#Err#the entity owns already the attribute") \
  X(GerrTargetMultiBodies, "G#Err#the target must not have several bodies") \
  X(GerrInvalidBodyType, "G#Err#invalid body type") \
  X(GerrInvalidTrimmedSurface, "G#Err#invalid trimmed surface") \
  X(GerrUnableToTrimBlendSf, "G#Err#unable to trim blend surface") \
  X(GerrEdgeHasNoGeometry, "G#Err#edge has no geometry") \
  X(GerrEdgeNotALine, "G#Err#edge is not a line") \
  X(GerrEdgeNotACircle, "G#Err#edge is not a circle") \
  X(GerrEdgeNotAnEllipse, "G#Err#edge is not an ellipse") \
  X(GerrEdgeNotFound, "G#Err#edge does not exist") \
  X(GerrWrongTypeOfShape, "G#Err#wrong type of shape") \
  X(GerrShapeNotClosed, "G#Err#shape not closed") \
  X(GerrShapeNotASurface, "G#Err#shape is not a surface") \
  X(GerrShapeNotABlock, "G#Err#shape is not a block") \
  X(GerrShapeNotACylinder, "G#Err#shape is not a cylinder") \
  X(GerrShapeNotACone, "G#Err#shape is not a cone") \
  X(GerrShapeNotASphere, "G#Err#shape is not a sphere") \
  X(GerrShapeNotATorus, "G#Err#shape is not a torus") \
  X(GerrShapeLoadingUnknownType, "G#Err#unable to load shape (unknown type)") \
  X(GerrUnknownHatchGeometry, "G#Err#unknown hatch geometry") \
  X(GerrFaceHasNoGeometry, "G#Err#face has no geometry") \
  X(GerrFaceNotAPlane, "G#Err#face is not a plane") \
  X(GerrFaceNotACylinder, "G#Err#face is not a cylinder") \
  X(GerrFaceNotACone, "G#Err#face is not a cone") \
  X(GerrFaceNotASphere, "G#Err#face is not a sphere") \
  X(GerrFaceNotExtruded, "G#Err#face is not extruded") \
  X(GerrFaceNotRevolved, "G#Err#face is not revolved") \
  X(GerrFaceNotATorus, "G#Err#face is not a torus") \
  X(GerrFaceNotFound, "G#Err#face does not exist") \
  X(GerrGeneral, "G#Err#shape is general") \
  X(GerrUnableToInvertSolidShape, "G#Err#unable to invert solid shape") \
  X(GerrUnableToMakeSolidShape, "G#Err#unable to make solid shape") \
  X(GerrLoopNotFound, "G#Err#loop does not exist") \
  X(GerrRenderUnspecifiedError, "G#Err#unable to render (unspecified error)") \
  X(GerrRenderSurfaceAngTolTooSmall, "G#Err#unable to render (surface angular tolerance too small)") \
  X(GerrRenderSurfaceDisTolTooSmall, "G#Err#unable to render (surface distance tolerance too small)") \
  X(GerrRenderCurveAngTolTooSmall, "G#Err#unable to render (curve angular tolerance too small)") \
  X(GerrRenderCurveDisTolTooSmall, "G#Err#unable to render (curve distance tolerance too small)") \
  X(GerrRenderChordLgtTolTooSmall, "G#Err#unable to render (chord length tolerance too small)") \
  X(GerrRenderFacetWidthTolTooSmall, "G#Err#unable to render (facet width tolerance too small)") \
  X(GerrRenderNoPolygonisation, "G#Err#rendering : unable to polygonize this entity") \
  X(GerrShellNotFound, "G#Err#shell does not exist") \
  X(GerrNotGeneral, "G#Err#shape is not general") \
  X(GerrNotSolid, "G#Err#shape is not solid") \
  X(GerrNotSheet, "G#Err#shape is not a sheet") \
  X(GerrInvalidTopology, "G#Err#invalid topology") \
  X(GerrInvalidTopologyForTokens, "G#Err#invalid topology for tokens") \
  X(GerrVertexNotFound, "G#Err#vertex does not exist") \
  X(GerrInvalidConeParametersTopRadius, "G#Err#invalid cone parameters (top radius < 0.)") \
  X(GerrInvalidExtrudedShape, "G#Err#invalid extruded shape") \
  X(GerrInvalidRuledShape, "G#Err#invalid ruled shape") \
  X(GerrInvalidFaceReplacement, "G#Err#invalid face replacement") \
  X(GerrFilledNoFourthCurve, "G#Err#cannot access to fourth curve in filled surface") \
  X(GerrPatchworkNotEnoughCurves, "G#Err#invalid patchwork (not enough curves)") \
  X(GerrPatchworkTooManyIntersections, "G#Err#invalid patchwork (too many intersections)") \
  X(GerrPatchworkInconsistentClosure, "G#Err#invalid patchwork (inconsistent closure)") \
  X(GerrPatchworkClosedCurvesOrientation, "G#Err#invalid patchwork (unable to orientate closed curve)") \
  X(GerrPatchworkUnableToMakeSolid, "G#Err#invalid patchwork (unable to make solid)") \
  X(GerrPatchworkNotEnoughIntersections, "G#Err#invalid patchwork (not enough intersections)") \
  X(GerrNotLineCirclesInPipeDirectrix, "G#Err#pipe directrix must contain only lines or circular arcs") \
  X(GerrNotPlanarPipeDirectrix, "G#Err#pipe b_spline directrix is not planar") \
  X(GerrInvalidRevolvedShape, "G#Err#invalid revolved shape") \
  X(GerrDifferentNumberOfSegments, "G#Err#invalid number of segments") \
  X(GerrInvalidSweptShape, "G#Err#invalid swept shape") \
  X(GerrInstanceCantModifyGeometry, "G#Err#can't modify geometry of an instance") \
  X(GerrNameAlreadyUsed, "G#Err#name already used in the shape") \
  X(GerrTopologyAlreadyNamed, "G#Err#the topology is already named") \
  X(GerrFaceTgtPeriodicCurvesAcc, "G#Err#periodic b-spline with accumulations") \
  X(GerrFaceTgtInvExtType, "G#Err#invalid extend type") \
  X(GerrBadCurve, "G#Err#bad curve") \
  X(GerrCurveTooFar, "G#Err#curve too far") \
  X(GerrFacesNonContinuous, "G#Err#faces non continuous") \
  X(GerrAreaNotOrdered, "G#Err#area not ordered") \
  X(GerrFirstCurveNotPlannar, "G#Err#first curve is not planar") \
  X(GerrSecondCurveNotPlannar, "G#Err#second curve is not planar") \
  X(GerrCurvesAreColinear, "G#Err#curves are colinear") \
  X(GerrCurvesNotCoplanar, "G#Err#curves are not coplanar") \
  X(GerrCurvesAreTangent, "G#Err#curves are tangent") \
  X(GerrCurveNotClosed, "G#Err#curve is not closed") \
  X(GerrCurveClosed, "G#Err#curve is closed") \
  X(GerrWrongTypeOfCurve, "G#Err#wrong type of curve") \
  X(GerrNotALine, "G#Err#not a line") \
  X(GerrNotAPolygon, "G#Err#not a polygon") \
  X(GerrNotACircle, "G#Err#not a circle") \
  X(GerrNotAEllipse, "G#Err#not a ellipse") \
  X(GerrNotAParabola, "G#Err#not a parabola") \
  X(GerrNotASpiral, "G#Err#not a spiral") \
  X(GerrNotABspline, "G#Err#not a B-Spline") \
  X(GerrNotAComposite, "G#Err#not a composite curve") \
  X(GerrUnableToLoadCurve, "G#Err#unable to load curve (unknown type)") \
  X(GerrUnableToOffset, "G#Err#cannot offset this type of curve") \
  X(GerrUnableToReparametrizeCurve, "G#Err#unable to reparametrize curve") \
  X(GerrCurveIsNotPeriodic, "G#Err#curve is not periodic") \
  X(GerrCurveIsPeriodic, "G#Err#curve is periodic") \
  X(GerrCurveNotLinear, "G#Err#curve not linear") \
  X(GerrCurveNotPlanar, "G#Err#curve not planar") \
  X(GerrCurveNotOnPlane, "G#Err#curve not on plane") \
  X(GerrInvalidSegmentId, "G#Err#invalid segment identifier") \
  X(GerrInvalidDifferentiationDegree, "G#Err#invalid degree of differentiation") \
  X(GerrZeroCurvature, "G#Err#zero curvature") \
  X(GerrTangentNotFound, "G#Err#tangent position to a given direction not found") \
  X(GerrInvalidTrimmingParam, "G#Err#invalid trimming parameters") \
  X(GerrLengthOutOfBounds, "G#Err#length is out of bounds") \
  X(GerrDifferentPeriodicities, "G#Err#different periodicities") \
  X(GerrUnableToAppendPeriodic, "G#Err#unable to append periodic B-spline") \
  X(GerrUnableToClampPeriodic, "G#Err#unable to clamp periodic B-spline") \
  X(GerrUnableToInsertKnot, "G#Err#unable to insert knot (out of range)") \
  X(GerrNotEnoughCurvesToInterpolate, "G#Err#not enough curves for interpolation") \
  X(GerrNotEnoughCurvesToApproximate, "G#Err#not enough curves for approximation") \
  X(GerrNotEnoughPointsToInterpolate, "G#Err#not enough points for interpolation") \
  X(GerrNotEnoughPointsToApproximate, "G#Err#not enough points for approximation") \
  X(GerrNullWeight, "G#Err#invalid B-spline curve (total weight null)") \
  X(GerrFilletError, "G#Fillet#Err#error in fillet") \
  X(GerrUnableToFillet, "G#Fillet#Err#unable to make that fillet") \
  X(GerrFilletRadiusTooLarge, "G#Fillet#Err#too large radius or impossible fillet") \
  X(GerrFilletLineCircle, "G#Fillet#Err#impossible fillet with that line and circle") \
  X(GerrHitError, "G#Fillet#Err#error in hit") \
  X(GerrHitNotSamePlane, "G#Hit#Err#not on same plane") \
  X(GerrHitRadiusTooSmall, "G#Hit#Err#radius too small") \
  X(GerrLinkNotSamePlane, "G#Link#Err#not on same plane") \
  X(GerrLinkCircleConcentric, "G#Link#Err#circles are concentric") \
  X(GerrLinkRadiusTooSmall, "G#Link#Err#radius too small") \
  X(GerrLinkRadiusTooLarge, "G#Link#Err#radius too large") \
  X(GerrLinkPointNotOnCurvePlane, "G#Link#Err#point not on curve plane") \
  X(GerrLinkPointOnCurve, "G#Link#Err#point on curve") \
  X(GerrInvalidComposit, "G#Err#invalid composite curve (not continuous)") \
  X(GerrChamferError, "G#Chamfer#Err#error in chamfer") \
  X(GerrUnableToMakeChamfer, "G#Chamfer#Err#unable to make that chamfer") \
  X(GerrParallelLines, "G#Chamfer#Err#parallel lines") \
  X(GerrUnableToLink, "G#Link#Err#unable to make that link") \
  X(GerrPointNotOnCirclePlane, "G#Link#Err#point not on circle plane") \
  X(GerrPointOnCircle, "G#Link#Err#point on circle") \
  X(GerrPointInsideCircle, "G#Link#Err#point inside circle") \
  X(GerrNotSamePlanes, "G#Link#Err#not same plane") \
  X(GerrNotOnCirclePlanes, "G#Link#Err#not on circle plane") \
  X(GerrConcentricCircle, "G#Link#Err#circles are concentric") \
  X(GerrBadNumberOfPoint, "G#Err#bad number of points in polygon") \
  X(GerrCurvesNotPlanar, "G#Err#curves are not planar") \
  X(GerrCurvesNotOnPlane, "G#Err#curves not on plane") \
  X(GerrCurvesNotArea, "G#Err#curves do not define planar area") \
  X(GerrSurfaceNotUClosed, "G#Err#surface is not u-closed") \
  X(GerrSurfaceUClosed, "G#Err#curve is u-closed") \
  X(GerrSurfaceNotVClosed, "G#Err#surface is not v-closed") \
  X(GerrSurfaceVClosed, "G#Err#curve is v-closed") \
  X(GerrWrongTypeOfSurface, "G#Err#wrong type of surface") \
  X(GerrNotAPlane, "G#Err#not a plane") \
  X(GerrNotACylinder, "G#Err#not a cylinder") \
  X(GerrNotACone, "G#Err#not a cone") \
  X(GerrNotASphere, "G#Err#not a sphere") \
  X(GerrNotATorus, "G#Err#not a torus") \
  X(GerrUnableToLoadSurface, "G#Err#unable to load surface (unknown type)") \
  X(GerrNotUperiodic, "G#Err#surface is not u-periodic") \
  X(GerrUperiodic, "G#Err#surface is u-periodic") \
  X(GerrNotVperiodic, "G#Err#surface is not v-periodic") \
  X(GerrVperiodic, "G#Err#surface is v-periodic") \
  X(GerrDifferentUPeriod, "G#Err#different periodicities in u") \
  X(GerrDifferentVPeriod, "G#Err#different periodicities in v") \
  X(GerrDifferentPeriod, "G#Err#different periodicities") \
  X(GerrAccumulatedKnotNotAllowed, "G#Err#accumulated knots not allowed yet") \
  X(GerrRationalBsplineNotAllowed, "G#Err#rational B-spline not allowed") \
  X(GerrPeriodicBsplineNotAllowed, "G#Err#periodic B-spline not allowed") \
  X(GerrInvalidTwist, "G#Err#invalid twist method parameter") \
  X(GerrInvalidCurves, "G#Err#invalid curves") \
  X(GerrPointNotFound, "G#Err#point not found") \
  X(GerrPeriodicCurve, "G#Err#periodic curve") \
  X(GerrWeightNotAllPositiv, "G#Err#invalid B-spline surface (weights not all positive)") \
  X(GerrInvalidKnots, "G#Err#invalid knot vector") \
  X(GerrUnableToJoin, "G#Err#unable to join surfaces") \
  X(GerrTotalWeightNull, "G#Err#invalid B-spline surface (total weight null)") \
  X(GerrBadWorkplane, "G#Err#bad workplane") \
  X(GerrInvalidDirectrix, "G#Err#invalid directrix curve") \
  X(GerrDivideBy0, "G#Err#cannot divide by 0") \
  X(GerrTangentNull, "G#Err#tangent is nul") \
  X(GerrProjectionNotFound, "G#Err#projection not found") \
  X(GerrPeriodicBspline, "G#Err#periodic b-spline") \
  X(GerrUnableToHollow, "G#Err#unable to hollow") \
  X(GerrParasolid3FaceBlendFail, "G3Sh#Fil3faces#Err#Blend could not be created") \
  X(GerrFailedToMapPointOnCylinder, "G3Cv#Err#Failed to map point on cylinder") \
  X(GerrFailedToMapVectorOnCylinder, "G3Cv#Err#Failed to map vector on cylinder") \
  X(GerrHorCurveTooLong, "G3Cv#Err#The horizontal line is too long") \
  X(GerrInvalidCylinderRadius, "G3Cv#Err#Invalid cylinder radius") \
  X(GerrNotInOriginPlan, "G3Cv#Err#The curve is not in the xOy plan") \
  X(GerrFailedToMapPointOnCone, "G3Cv#Err#Failed to map point on cone") \
  X(GerrFailedToMapVectorOnCone, "G3Cv#Err#Failed to map vector on cone") \
  X(GerrInvalidConeRadius, "G3Cv#Err#Invalid cone radius")
// clang-format on

#define G_ERRORS_DECLARE(name, text) G_API extern const C_ERROR name;
G_ERRORS_TABLE(G_ERRORS_DECLARE)
#undef G_ERRORS_DECLARE

// The catalogue in the order in which it is built, for hosts and tests that
// walk it. GerrGet gives null and leaves CerrInvalidValue pending when i is not
// in [0, GerrGetCount()).
G_API int GerrGetCount();
G_API const C_ERROR* GerrGet(int i);

#endif
