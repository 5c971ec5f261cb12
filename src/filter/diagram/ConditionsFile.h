// Conditions files (".qrc"): a diagram's circles and pins as a tagged tree, so that a filter
// can be kept and used again.
//
//   <CONDITIONS VERSION="1">
//       <CIRCLE LABEL="..." BODY="..." X="80" Y="65" RADIUS="60" LABELDX="18" LABELDY="21"/>
//       <PIN X="90" Y="75"/>
//   </CONDITIONS>
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

class TCloudDiagram;

// Raised for a file whose content is not a valid conditions file.
class EConditionsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TCircleEntry {
    std::string Label, Body;
    std::int32_t X = 0, Y = 0, Radius = 0, LabelDX = 0, LabelDY = 0;
};

struct TPinEntry {
    std::int32_t X = 0, Y = 0;
};

struct TConditions {
    std::vector<TCircleEntry> Circles;
    std::vector<TPinEntry> Pins;
};

// Largest magnitude of a number in a conditions file.
inline constexpr std::int32_t ConditionsNumberLimit = 1000000;

// The text of a conditions file.
std::string WriteConditions(const TConditions& conditions);
// Reads the text of a conditions file. Throws EQelPiggerError for a text that is no tagged
// tree and EConditionsError for a missing, non-numeric or out-of-range number or a root that
// is not CONDITIONS. Unknown elements and attributes are ignored.
TConditions ReadConditions(std::string_view text);

// The circles and pins of an active diagram, in list order.
TConditions DiagramConditions(const TCloudDiagram& diagram);
// Replaces the circles and pins of an active diagram, positions as they stand.
void ApplyConditions(TCloudDiagram& diagram, const TConditions& conditions);

// Files. Saving and loading throw EQelFileError when the file cannot be written or opened;
// loading throws as ReadConditions and leaves the diagram unchanged on every error.
void SaveConditionsFile(const TCloudDiagram& diagram, const std::string& fileName);
void LoadConditionsFile(TCloudDiagram& diagram, const std::string& fileName);
// Reads a conditions file whole, throwing as LoadConditionsFile does.
TConditions ReadConditionsFile(const std::string& fileName);
// Why a conditions file could not be read, in one line: what ReadConditionsFile or
// LoadConditionsFile threw, worded as every reading error of the program is (without the
// file's name when fileName is empty).
std::string DescribeConditionsError(const std::exception& error, const std::string& fileName);
