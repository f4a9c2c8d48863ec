// Writers of the cross-section part of the document and of the elements by
// which the field software recognises stringlines: CrossSects / CrossSect /
// CrossSectSurf with PntList2D, Feature and Property, the stringline layer
// list, the irregular line (the plan geometry of a stringline), and the
// per-vertex name and connection features.
//
// In the standard document the stringline elements are Feature elements with
// Property children (codes beginning "SD "); with the extended flavour
// (AppModel().IsOstXML) they are elements of the extended schema ("SD...")
// written to the side file, which the line writer merges into the document.
// Numbers are written with 6 decimals; data texts pass through XmlText.
// Each writer returns true when its lines were written.
#pragma once

#include "model/Records.h"

#include <string>
#include <vector>

namespace vialto {

// <CrossSects[ name="N"]> (level + 1) or </CrossSects>; main file only.
bool TagCrossSects(bool close, const std::string &name = {});
// <CrossSect sta="S"[ name="N"]> or </CrossSect>; the sta text is written as
// given. Mirrored in the side file in the extended flavour.
bool TagCrossSect(bool close, const std::string &sta = {}, const std::string &name = {});
// <CrossSectSurf name="N"> (name trimmed) or </CrossSectSurf>; mirrored in the
// side file in the extended flavour.
bool TagCrossSectSurf(bool close, const std::string &name = {});
// <PntList2D>points</PntList2D> on one line of the main file.
bool TagPntList2D(const std::string &points);

// complete with text: <Feature code="C">T</Feature> on one line;
// complete without text: closes the open feature group (</Feature>);
// not complete: <Feature code="C">T opens a group (level + 1).
bool TagFeature(bool complete, const std::string &code, const std::string &text);
// <Property label="L"[ value="V"]/>; no value attribute when value is empty.
bool TagProperty(const std::string &label, const std::string &value);

// The plan of a stringline made of straight elements, from the element that
// holds `from` to the one that holds `to` (kNullValue: no limit): an
// IrregularLine with its start, its end and every vertex ("Y X").
bool TagCoordGeomIrrLn(const HzAlignment &elements, double from, double to);

// One stringline layer: the non-empty names joined by ","; centre is the index
// of the centre line in names (-1: none); exclusions are written only when
// the first entry of `excluded` is 0 or more.
bool TagStringLineLayer(const std::vector<std::string> &names, const std::string &layerName,
                        int centre, bool sorted, const std::vector<int> &excluded);
// The layer list of a stringline set: every layer with at least one exported
// member besides the centre line, or one "Default Layer" of all exported
// stringlines when the set has no layers. Each layer's names begin with the
// centre line.
bool TagStringLineLayers(const TStringLines &set, const std::string &centreLine, bool sorted,
                         const std::vector<int> &excluded);

// The names of a surface's vertices, in order, joined by ",".
bool TagVertexName(const std::string &name);
// The connections of a surface's stringlines with the previous station; each
// list is written only when it is not empty.
bool TagVertexConnections(const std::string &interpolate, const std::string &link,
                          const std::string &cont);

} // namespace vialto
