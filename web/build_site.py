#!/usr/bin/env python3
"""Builds the web app from its sources and the core in WebAssembly.

The site (for any static host): the page, its scripts and style, the core
(proxcred.js, proxcred.wasm), icons drawn from the window's own logo, the
manifest, and the service worker with the list of files to keep offline.
The single-file edition: the same page with everything inside it, the core's
.wasm too, to open from a USB stick with no server.

Usage: build_site.py SOURCES LOGO COPY_ICON CORE_JS CORE_WASM SINGLE_JS SITE_DIR SINGLE_HTML
"""
import base64
import hashlib
import json
import re
import shutil
import subprocess
import sys
from pathlib import Path

PAGE_FILES = ["index.html", "style.css", "core.js", "app.js", "manifest.webmanifest"]
# Icon sizes browsers ask for: the manifest's 192 and 512, Apple's 180.
PNG_ICONS = {"icon-192.png": (192, False), "icon-512.png": (512, False),
             "icon-maskable-512.png": (512, True), "icon-180.png": (180, False)}


def minified(name: str, text: str) -> str:
    """The page's own files without comments and indentation: a few
    kilobytes less to send. Only whole comment lines go from scripts, so no
    string or expression is ever touched."""
    if name.endswith(".css"):
        text = re.sub(r"/\*.*?\*/", "", text, flags=re.S)
    elif name.endswith(".html"):
        text = re.sub(r"<!--.*?-->", "", text, flags=re.S)
    lines = (line.strip() for line in text.splitlines())
    if name.endswith(".js"):
        lines = (line for line in lines if not line.startswith("//"))
    return "\n".join(line for line in lines if line) + "\n"


def square_icon(logo_svg: str, maskable: bool) -> str:
    """The logo (160 x 120) centred on a square; a maskable icon keeps it
    inside the middle 80 %, the part every launcher shows."""
    inner = re.search(r"<svg[^>]*>(.*)</svg>", logo_svg, re.S).group(1)
    side = 240 if maskable else 176
    offset_x, offset_y = (side - 160) / 2, (side - 120) / 2
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{side}" height="{side}" '
            f'viewBox="0 0 {side} {side}">\n'
            f'<rect width="{side}" height="{side}" rx="{0 if maskable else 28}" fill="#ffffff"/>\n'
            f'<g transform="translate({offset_x} {offset_y})">{inner}</g>\n</svg>\n')


def draw_icons(logo_svg: str, site: Path) -> None:
    (site / "icon.svg").write_text(square_icon(logo_svg, False))
    for name, (size, maskable) in PNG_ICONS.items():
        source = site / ("icon-maskable.svg" if maskable else "icon.svg")
        if maskable:
            source.write_text(square_icon(logo_svg, True))
        subprocess.run(["rsvg-convert", "-w", str(size), "-h", str(size), "-o", str(site / name),
                        str(source)], check=True)
    (site / "icon-maskable.svg").unlink()


def write_service_worker(sources: Path, site: Path) -> None:
    files = sorted(path.name for path in site.iterdir() if path.name != "sw.js")
    digest = hashlib.sha256()
    for name in files:
        digest.update(name.encode() + b"\0" + (site / name).read_bytes())
    text = (sources / "sw.js").read_text()
    text = text.replace("@VERSION@", digest.hexdigest()[:16])
    text = text.replace("@FILES@", json.dumps(["./"] + files))
    (site / "sw.js").write_text(text)


def data_url(svg: Path) -> str:
    return "data:image/svg+xml;base64," + base64.b64encode(svg.read_bytes()).decode()


def inline_script(text: str) -> str:
    # A script's text may not close the element it stands in.
    return text.replace("</script", "<\\/script")


def single_file(sources: Path, site: Path, single_js: Path) -> str:
    page = (site / "index.html").read_text()
    style = (site / "style.css").read_text()
    copy_icon = data_url(site / "copy.svg")
    icon = data_url(site / "icon.svg")
    style = style.replace("url(copy.svg)", f"url({copy_icon})")
    # Nothing at all is fetched: inline scripts and style only, no network.
    page = re.sub(r'<meta http-equiv="Content-Security-Policy" content="[^"]*">',
                  '<meta http-equiv="Content-Security-Policy" content="default-src \'none\'; '
                  "script-src 'unsafe-inline' 'wasm-unsafe-eval'; style-src 'unsafe-inline'; "
                  "img-src data: blob:; object-src 'none'; base-uri 'none'; form-action 'none'\">",
                  page)
    page = page.replace('<link rel="manifest" href="manifest.webmanifest">\n', "")
    page = page.replace('<link rel="apple-touch-icon" href="icon-180.png">\n', "")
    page = page.replace('href="icon.svg"', f'href="{icon}"').replace('src="icon.svg"', f'src="{icon}"')
    page = page.replace('<link rel="stylesheet" href="style.css">', f"<style>\n{style}</style>")
    scripts = ("<script>window.PROXCRED_SINGLE_FILE = true;</script>\n"
               f"<script>\n{inline_script(single_js.read_text())}\n</script>\n"
               f"<script>\n{inline_script((site / 'core.js').read_text())}\n</script>\n"
               f"<script>\n{inline_script((site / 'app.js').read_text())}\n</script>")
    page = re.sub(r'<script src="proxcred.js"></script>\n<script src="core.js"></script>\n'
                  r'<script src="app.js"></script>', lambda _: scripts, page)
    return page


def main(arguments: list[str]) -> int:
    if len(arguments) != 8:
        print(__doc__, file=sys.stderr)
        return 2
    sources, logo, copy_icon, core_js, core_wasm, single_js, site, single_html = map(Path, arguments)
    if site.exists():
        shutil.rmtree(site)
    site.mkdir(parents=True)
    for name in PAGE_FILES:
        (site / name).write_text(minified(name, (sources / name).read_text()))
    shutil.copy(core_js, site / "proxcred.js")
    shutil.copy(core_wasm, site / "proxcred.wasm")
    shutil.copy(copy_icon, site / "copy.svg")
    draw_icons(logo.read_text(), site)
    write_service_worker(sources, site)
    single_html.write_text(single_file(sources, site, single_js))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
