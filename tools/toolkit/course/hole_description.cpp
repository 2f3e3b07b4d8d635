#include "tools/toolkit/course/hole_description.h"

#include <cmath>

#include "game/core/surface_kind.h"
#include "tools/toolkit/course/json_lines.h"
#include "tools/toolkit/output_file.h"

namespace tools {
namespace {

constexpr TreeKind kTreeKinds[] = {
    {"oak", 1, 1.0, 'T'},  {"pine", 2, 0.5, 'T'},  {"poplar", 3, 0.5, 'T'},
    {"bush", 4, 1.0, 'E'}, {"shrub", 5, 1.0, 'E'},
};

// The playable ground must lie inside the game's terrain grid.
constexpr double kMinX = -200, kMaxX = 200, kMinZ = -100, kMaxZ = 700;
constexpr double kRoomBehindView = 30;

struct DescriptionError {
    std::string pointer;
    std::string message;
};

using Json = nlohmann::json;

// Reads typed values out of the document, throwing DescriptionError with the value's position.
struct Reader {
    const JsonDocument& doc;

    [[noreturn]] void Fail(const std::string& pointer, const std::string& message) const {
        throw DescriptionError{pointer, message};
    }

    const Json& At(const Json& object, const std::string& pointer, const char* key) const {
        if (!object.is_object() || !object.contains(key)) {
            Fail(pointer, std::string("\"") + key + "\" is missing");
        }
        return object.at(key);
    }

    double Number(const Json& value, const std::string& pointer, double min, double max) const {
        if (!value.is_number()) {
            Fail(pointer, "expected a number");
        }
        const double number = value.get<double>();
        if (!(number >= min && number <= max)) {
            Fail(pointer, "expected a number from " + Format(min) + " to " + Format(max));
        }
        return number;
    }

    double NumberOr(const Json& object, const std::string& pointer, const char* key, double fallback,
                    double min, double max) const {
        if (!object.contains(key)) {
            return fallback;
        }
        return Number(object.at(key), pointer + "/" + key, min, max);
    }

    Vec2 Point(const Json& value, const std::string& pointer) const {
        if (!value.is_array() || value.size() != 2) {
            Fail(pointer, "expected a point [x, z]");
        }
        return {Number(value[0], pointer + "/0", kMinX, kMaxX),
                Number(value[1], pointer + "/1", kMinZ, kMaxZ)};
    }

    Vec2 Tilt(const Json& object, const std::string& pointer) const {
        if (!object.contains("tilt")) {
            return {0, 0};
        }
        const Json& value = object.at("tilt");
        if (!value.is_array() || value.size() != 2) {
            Fail(pointer + "/tilt", "expected [rise per yard along x, along z]");
        }
        return {Number(value[0], pointer + "/tilt/0", -0.1, 0.1),
                Number(value[1], pointer + "/tilt/1", -0.1, 0.1)};
    }

    std::vector<Vec2> Points(const Json& value, const std::string& pointer, size_t minCount) const {
        if (!value.is_array() || value.size() < minCount) {
            Fail(pointer, "expected a list of at least " + std::to_string(minCount) + " points");
        }
        std::vector<Vec2> points;
        for (size_t i = 0; i < value.size(); ++i) {
            points.push_back(Point(value[i], pointer + "/" + std::to_string(i)));
        }
        return points;
    }

    std::string Text(const Json& value, const std::string& pointer) const {
        if (!value.is_string()) {
            Fail(pointer, "expected text");
        }
        return value.get<std::string>();
    }

    // An area: an ellipse {"at", "radius" (one number or [across, along]), "angle"} or a closed
    // outline {"outline": [[x, z], ...]}.
    Shape Area(const Json& value, const std::string& pointer) const {
        Shape shape;
        if (value.is_object() && value.contains("outline")) {
            shape.kind = ShapeKind::Outline;
            shape.points = Points(value.at("outline"), pointer + "/outline", 3);
            return shape;
        }
        shape.kind = ShapeKind::Ellipse;
        shape.centre = Point(At(value, pointer, "at"), pointer + "/at");
        const Json& radius = At(value, pointer, "radius");
        if (radius.is_array()) {
            if (radius.size() != 2) {
                Fail(pointer + "/radius", "expected one radius or [across, along]");
            }
            shape.radiusA = Number(radius[0], pointer + "/radius/0", 1, 150);
            shape.radiusB = Number(radius[1], pointer + "/radius/1", 1, 150);
        } else {
            shape.radiusA = shape.radiusB = Number(radius, pointer + "/radius", 1, 150);
        }
        shape.angleDegrees = NumberOr(value, pointer, "angle", 0, -360, 360);
        return shape;
    }

    // A ribbon {"line": [[x, z], ...], "width": w} or with "widths": one per point.
    Shape Ribbon(const Json& value, const std::string& pointer, double minWidth, double maxWidth) const {
        Shape shape;
        shape.kind = ShapeKind::Ribbon;
        shape.points = Points(At(value, pointer, "line"), pointer + "/line", 2);
        if (value.contains("widths")) {
            const Json& widths = value.at("widths");
            if (!widths.is_array() || widths.size() != shape.points.size()) {
                Fail(pointer + "/widths", "expected one width per point of the line");
            }
            for (size_t i = 0; i < widths.size(); ++i) {
                shape.widths.push_back(
                    Number(widths[i], pointer + "/widths/" + std::to_string(i), minWidth, maxWidth));
            }
        } else {
            const double width = Number(At(value, pointer, "width"), pointer + "/width", minWidth, maxWidth);
            shape.widths.assign(shape.points.size(), width);
        }
        return shape;
    }

    std::vector<Hill> Hills(const Json& object, const std::string& pointer, const char* key,
                            double maxHeight) const {
        std::vector<Hill> hills;
        if (!object.contains(key)) {
            return hills;
        }
        const Json& list = object.at(key);
        const std::string listPointer = pointer + "/" + key;
        if (!list.is_array()) {
            Fail(listPointer, "expected a list");
        }
        for (size_t i = 0; i < list.size(); ++i) {
            const std::string p = listPointer + "/" + std::to_string(i);
            Hill hill;
            hill.at = Point(At(list[i], p, "at"), p + "/at");
            hill.radius = Number(At(list[i], p, "radius"), p + "/radius", 1, 400);
            hill.height = Number(At(list[i], p, "height"), p + "/height", -maxHeight, maxHeight);
            hills.push_back(hill);
        }
        return hills;
    }

    const Json& List(const Json& object, const char* key) const {
        static const Json empty = Json::array();
        if (!object.contains(key)) {
            return empty;
        }
        if (!object.at(key).is_array()) {
            Fail(std::string("/") + key, "expected a list");
        }
        return object.at(key);
    }

    static std::string Format(double value) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", value);
        return text;
    }
};

void ReadTrees(const Reader& r, const Json& root, HoleDescription& hole) {
    const Json& list = r.List(root, "trees");
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string p = "/trees/" + std::to_string(i);
        const std::string kindName = r.Text(r.At(list[i], p, "kind"), p + "/kind");
        const TreeKind* kind = FindTreeKind(kindName);
        if (kind == nullptr) {
            r.Fail(p + "/kind", "unknown kind \"" + kindName + "\" (oak, pine, poplar, bush or shrub)");
        }
        const double height = r.Number(r.At(list[i], p, "height"), p + "/height", 0.5, 30);
        const int line = LineOf(r.doc, p);
        if (list[i].contains("at")) {
            hole.trees.push_back({kind, r.Point(list[i].at("at"), p + "/at"), height, line});
            continue;
        }
        // A row: trees every "spacing" yards along a line, nudged a little so that rows look grown.
        const std::vector<Vec2> points = r.Points(r.At(list[i], p, "line"), p + "/line", 2);
        const double spacing = r.Number(r.At(list[i], p, "spacing"), p + "/spacing", 1, 100);
        int count = 0;
        for (size_t s = 0; s + 1 < points.size(); ++s) {
            const Vec2 a = points[s];
            const Vec2 d = points[s + 1] - a;
            const double length = Length(d);
            for (double t = s == 0 ? 0 : spacing; t <= length + 1e-9; t += spacing, ++count) {
                const double jitter = std::sin(count * 12.9898 + i * 78.233) * 0.3 * spacing;
                const Vec2 side{-d.z / length, d.x / length};
                const double scale = 0.85 + 0.3 * (0.5 + 0.5 * std::sin(count * 4.1 + i));
                hole.trees.push_back({kind, a + d * (t / length) + side * jitter, height * scale, line});
            }
        }
    }
}

void ReadDescription(const Reader& r, HoleDescription& hole) {
    const Json& root = r.doc.root;
    if (!root.is_object()) {
        r.Fail("", "the description must be a JSON object");
    }
    hole.name = r.Text(r.At(root, "", "name"), "/name");
    if (hole.name.empty() || hole.name.size() > 16) {
        r.Fail("/name", "a hole name has 1 to 16 characters");
    }
    hole.par = static_cast<int>(r.Number(r.At(root, "", "par"), "/par", 3, 5));
    hole.tee = r.Point(r.At(root, "", "tee"), "/tee");
    hole.pin = r.Point(r.At(root, "", "pin"), "/pin");
    hole.aim = root.contains("aim") ? r.Point(root.at("aim"), "/aim") : hole.pin;
    hole.corridor = r.NumberOr(root, "", "corridor", 75, 20, 190);

    if (root.contains("ground")) {
        const Json& ground = root.at("ground");
        hole.ground.base = r.NumberOr(ground, "/ground", "base", 8, 2, 150);
        hole.ground.tilt = r.Tilt(ground, "/ground");
        hole.ground.waves = r.NumberOr(ground, "/ground", "waves", 1, 0, 10);
        hole.ground.seed = static_cast<int>(r.NumberOr(ground, "/ground", "seed", 1, 0, 1000));
        hole.ground.hills = r.Hills(ground, "/ground", "hills", 40);
    }

    Shape teeBox;
    teeBox.kind = ShapeKind::Ellipse;
    teeBox.centre = hole.tee;
    teeBox.radiusA = 6;
    teeBox.radiusB = 8;
    if (root.contains("tee_box")) {
        teeBox = r.Area(root.at("tee_box"), "/tee_box");
        hole.teeRaise = r.NumberOr(root.at("tee_box"), "/tee_box", "raise", 0.4, 0, 3);
    }
    hole.teeBox = teeBox;

    const Json& green = r.At(root, "", "green");
    hole.green.outline = r.Area(green, "/green");
    hole.green.tilt = r.Tilt(green, "/green");
    hole.green.contours = r.Hills(green, "/green", "contours", 1.0);

    const Json& fairways = r.List(root, "fairways");
    for (size_t i = 0; i < fairways.size(); ++i) {
        hole.fairways.push_back(r.Ribbon(fairways[i], "/fairways/" + std::to_string(i), 8, 90));
    }
    const Json& others = r.List(root, "other_greens");
    for (size_t i = 0; i < others.size(); ++i) {
        hole.otherGreens.push_back(r.Area(others[i], "/other_greens/" + std::to_string(i)));
    }
    const Json& bunkers = r.List(root, "bunkers");
    for (size_t i = 0; i < bunkers.size(); ++i) {
        const std::string p = "/bunkers/" + std::to_string(i);
        hole.bunkers.push_back({r.Area(bunkers[i], p), r.NumberOr(bunkers[i], p, "depth", 0.8, 0.1, 3)});
    }
    const Json& water = r.List(root, "water");
    for (size_t i = 0; i < water.size(); ++i) {
        const std::string p = "/water/" + std::to_string(i);
        hole.water.push_back(r.Area(water[i], p));
        hole.waterBanks.push_back(r.NumberOr(water[i], p, "bank", 14, 3, 30));
    }
    const Json& paths = r.List(root, "paths");
    for (size_t i = 0; i < paths.size(); ++i) {
        hole.paths.push_back(r.Ribbon(paths[i], "/paths/" + std::to_string(i), 1, 8));
    }
    ReadTrees(r, root, hole);

    if (root.contains("ground_textures")) {
        const Json& textures = root.at("ground_textures");
        if (!textures.is_object()) {
            r.Fail("/ground_textures", "expected an object of surface codes and texture names");
        }
        for (const auto& [code, value] : textures.items()) {
            const std::string p = "/ground_textures/" + code;
            const int kind = core::SurfaceKindOfName(code.c_str());
            if (kind < 0 || code.size() != 3) {
                r.Fail(p, "unknown surface code (TEE, FWY, GRE, ROU, BNK, WAY, WTR, OOB or OGR)");
            }
            const std::string name = r.Text(value, p);
            if (name.size() < 5 || name.size() > 16 || name[0] == 'T' || name[0] == 'B') {
                r.Fail(p, "a common texture's name has 5 to 16 characters and starts with neither T nor B");
            }
            hole.groundTextures[kind] = name;
            hole.shadedTextures[kind].clear();
        }
    }

    const Json& backdrop = r.At(root, "", "backdrop");
    hole.backdropHills = r.Text(r.At(backdrop, "/backdrop", "hills"), "/backdrop/hills");
    hole.backdropTreeLine = r.Text(r.At(backdrop, "/backdrop", "treeline"), "/backdrop/treeline");
    if (backdrop.contains("clouds")) {
        hole.backdropClouds = r.Text(backdrop.at("clouds"), "/backdrop/clouds");
    }
    for (const char* key : {"hills", "treeline", "clouds"}) {
        if (!backdrop.contains(key)) {
            continue;
        }
        const std::string name = backdrop.at(key).get<std::string>();
        if (name.size() < 5 || name.size() > 16 || name[0] != 'B') {
            r.Fail(std::string("/backdrop/") + key,
                   "a hole texture's name starts with B and has 5 to 16 characters");
        }
    }

    if (SignedDistance(hole.green.outline, hole.pin) > -3) {
        r.Fail("/pin", "the pin must lie on the green, at least 3 yards inside its edge");
    }
    if (SignedDistance(hole.teeBox, hole.tee) > 0) {
        r.Fail("/tee", "the tee point must lie on the tee box");
    }
    // The player's view stands 8 yards behind the ball; behind it there must still be ground and
    // room for the backdrop.
    const Vec2 towardAim = (Length(hole.aim - hole.tee) > 0.5 ? hole.aim : hole.pin) - hole.tee;
    const Vec2 eye = hole.tee - towardAim * (8.0 / Length(towardAim));
    if (eye.x < kMinX + kRoomBehindView || eye.x > kMaxX - kRoomBehindView ||
        eye.z < kMinZ + kRoomBehindView) {
        r.Fail("/tee", "the tee is too close to the edge of the ground: the view from behind it needs " +
                           Reader::Format(kRoomBehindView) + " yards of room");
    }
}

}  // namespace

const TreeKind* FindTreeKind(const std::string& name) {
    for (const TreeKind& kind : kTreeKinds) {
        if (name == kind.name) {
            return &kind;
        }
    }
    return nullptr;
}

bool ParseHoleDescription(const std::string& path, const std::string& text, HoleDescription& hole,
                          std::string& error) {
    JsonDocument doc;
    std::string problem;
    if (!ParseJsonWithLines(text, doc, problem)) {
        error = path + ": " + problem;
        return false;
    }
    HoleDescription result;
    result.path = path;
    try {
        ReadDescription(Reader{doc}, result);
    } catch (const DescriptionError& e) {
        const std::string where = e.pointer.empty() ? "" : " (" + e.pointer.substr(1) + ")";
        error = path + ":" + std::to_string(LineOf(doc, e.pointer)) + ": " + e.message + where;
        return false;
    }
    hole = std::move(result);
    return true;
}

bool ReadHoleDescription(const std::string& path, HoleDescription& hole, std::string& error) {
    std::string text;
    if (!ReadTextFile(path, text, error)) {
        return false;
    }
    return ParseHoleDescription(path, text, hole, error);
}

std::vector<Vec2> LineOfPlay(const HoleDescription& hole) {
    std::vector<Vec2> line{hole.tee};
    if (Length(hole.aim - hole.pin) > 0.5) {
        line.push_back(hole.aim);
    }
    line.push_back(hole.pin);
    return line;
}

}  // namespace tools
