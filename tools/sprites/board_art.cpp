#include "tools/sprites/board_art.h"

#include "tools/sprites/svg_text.h"

namespace sprites {
namespace {

// A mown green with stripes, a flag in its cup and a ball beside it, in a box at (x, y).
std::string GreenEmblem(double x, double y, double width, double height) {
    std::string body = Format(
        "<defs><clipPath id=\"lawn\"><rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" rx=\"6\"/>"
        "</clipPath><linearGradient id=\"sky\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">"
        "<stop offset=\"0\" stop-color=\"#5fa8e8\"/><stop offset=\"1\" stop-color=\"#bfe3ff\"/>"
        "</linearGradient></defs>",
        x, y, width, height);
    body += "<g clip-path=\"url(#lawn)\">";
    body += Format("<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"url(#sky)\"/>", x, y,
                   width, height);
    const double ground = y + height * 0.55;
    body += Format("<ellipse cx=\"%.1f\" cy=\"%.1f\" rx=\"%.1f\" ry=\"%.1f\" fill=\"#3f8f3a\"/>",
                   x + width * 0.5, ground + height * 0.5, width * 0.8, height * 0.58);
    for (int stripe = 0; stripe < 6; ++stripe) {
        body +=
            Format("<path d=\"M%.1f %.1f l14 0 l-18 %.1f l-14 0 z\" fill=\"#56a94a\" fill-opacity=\"0.7\"/>",
                   x + 10 + 22.0 * stripe, ground - 2, height);
    }
    const double cupX = x + width * 0.62;
    const double cupY = ground + 8;
    body += Format("<ellipse cx=\"%.1f\" cy=\"%.1f\" rx=\"5\" ry=\"1.8\" fill=\"#10240e\"/>", cupX, cupY);
    body += Format("<path d=\"M%.1f %.1f L%.1f %.1f\" stroke=\"#f6fbf6\" stroke-width=\"1.6\"/>", cupX, cupY,
                   cupX, y + 5);
    body += Format(
        "<path d=\"M%.1f %.1f l18 5 l-18 5 z\" fill=\"#ff3b2f\" stroke=\"#b01c12\" stroke-width=\"0.8\"/>",
        cupX + 0.8, y + 5);
    body += Format(
        "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"4\" fill=\"#ffffff\" stroke=\"#9aa8c0\" stroke-width=\"0.8\"/>",
        x + width * 0.3, ground + 12);
    body += "</g>";
    body += Format(
        "<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" rx=\"6\" fill=\"none\" "
        "stroke=\"#efb45c\" "
        "stroke-width=\"1.5\"/>",
        x, y, width, height);
    return body;
}

}  // namespace

bool MakeScoreHeader(const std::string& outDir, std::string& error) {
    std::string body =
        "<defs><linearGradient id=\"panel\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">"
        "<stop offset=\"0\" stop-color=\"#25347a\"/><stop offset=\"0.5\" stop-color=\"#131c46\"/>"
        "<stop offset=\"1\" stop-color=\"#0d1538\"/></linearGradient></defs>";
    body += Format(
        "<rect x=\"1\" y=\"1\" width=\"%d\" height=\"%d\" rx=\"9\" fill=\"url(#panel)\" stroke=\"#efb45c\" "
        "stroke-width=\"2\"/>",
        kHeaderWidth - 2, kHeaderHeight - 2);
    // A thin light line under the top edge, as on the HUD's panels.
    body += Format("<path d=\"M12 4.5 L%d 4.5\" stroke=\"#5a6a9a\" stroke-width=\"1\"/>", kHeaderWidth - 12);
    body += GreenEmblem(7, 7, 112, kHeaderHeight - 14);
    // A gold rule between the emblem and the titles.
    body +=
        Format("<path d=\"M128 10 L128 %d\" stroke=\"#efb45c\" stroke-opacity=\"0.6\" stroke-width=\"1\"/>",
               kHeaderHeight - 10);
    return WriteSvgPicture(SvgDocument(kHeaderWidth, kHeaderHeight, body), outDir + "/SHeader.fni", 0, 0,
                           error);
}

}  // namespace sprites
