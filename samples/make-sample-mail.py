#!/usr/bin/env python3
"""Writes the sample mail store samples/mail/ (a Maildir with Maildir++
folders) from the pictures of tests/data/pictures/.

The program and the demo read the files committed beside this script; run it
again only to change the sample mail. The output is the same on every run:
fixed dates, message ids and MIME boundaries.

    samples/make-sample-mail.py [PICTURE_DIR]
"""

import base64
import os
import shutil
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
PICTURES = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "tests", "data", "pictures")
OUT = os.path.join(HERE, "mail")


def picture(name):
    with open(os.path.join(PICTURES, name), "rb") as f:
        return f.read()


def b64(data):
    text = base64.b64encode(data).decode("ascii")
    return "\n".join(text[i:i + 76] for i in range(0, len(text), 76))


# A small but well-formed PDF of one empty page.
def pdf():
    objects = [
        b"<< /Type /Catalog /Pages 2 0 R >>",
        b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] >>",
    ]
    out = b"%PDF-1.4\n"
    offsets = []
    for i, body in enumerate(objects, 1):
        offsets.append(len(out))
        out += b"%d 0 obj\n" % i + body + b"\nendobj\n"
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    for o in offsets:
        out += b"%010d 00000 n \n" % o
    out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(objects) + 1, xref)
    return out


def headers(subject, day, sender="Mara Lindqvist <mara@example.org>", to="You <you@example.org>", extra=()):
    lines = [
        "From: " + sender,
        "To: " + to,
        "Subject: " + subject,
        "Date: %s, %02d May 2026 09:%02d:00 +0200" % (["Fri", "Sat", "Sun", "Mon", "Tue", "Wed", "Thu"][day % 7], day, day),
        "Message-ID: <sample-%02d@lumivane.example>" % day,
        "MIME-Version: 1.0",
    ]
    return lines + list(extra)


def text_part(text, subtype="plain"):
    return ["Content-Type: text/%s; charset=utf-8" % subtype, "Content-Transfer-Encoding: 8bit", "", text]


def file_part(name, ctype, data, disposition="attachment", content_id=None):
    lines = ['Content-Type: %s; name="%s"' % (ctype, name)]
    if content_id:
        lines.append("Content-ID: <%s>" % content_id)
    lines += ['Content-Disposition: %s; filename="%s"' % (disposition, name), "Content-Transfer-Encoding: base64", "",
              b64(data)]
    return lines


def multipart(subtype, boundary, parts, extra=""):
    lines = ['Content-Type: multipart/%s; boundary="%s"%s' % (subtype, boundary, extra), ""]
    for p in parts:
        lines += ["--" + boundary] + p
    lines += ["--" + boundary + "--", ""]
    return lines


def message(head, body):
    return "\n".join(head + body) + ("\n" if body[-1] != "" else "")


def mixed(day, subject, text, files, **kw):
    parts = [text_part(text)] + [file_part(*f) for f in files]
    return message(headers(subject, day, **kw), multipart("mixed", "sample-%02d" % day, parts))


def write(folder, day, flags, text):
    d = os.path.join(OUT, folder) if folder else OUT
    for sub in ("cur", "new", "tmp"):
        os.makedirs(os.path.join(d, sub), exist_ok=True)
        if sub != "cur":
            # git keeps no empty folder; the store skips dot files.
            open(os.path.join(d, sub, ".gitkeep"), "w").close()
    name = "17780%05d.M%dP1.sample:2,%s" % (day, day, flags)
    with open(os.path.join(d, "cur", name), "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


def main():
    if os.path.isdir(OUT):
        shutil.rmtree(OUT)
    camera, plain, other = picture("camera.jpg"), picture("plain.jpg"), picture("uncalibrated.jpg")

    write("", 1, "S", mixed(1, "Holiday at the lake",
                            "Hi,\n\nthe first pictures from the lake, and the plan for next week.\n\nMara\n",
                            [("lake.jpg", "image/jpeg", camera), ("jetty.jpg", "image/jpeg", plain),
                             ("itinerary.pdf", "application/pdf", pdf())]))
    write("", 2, "S", mixed(2, "Three cameras, same name",
                            "All three cameras call every picture photo.jpg.\n",
                            [("photo.jpg", "image/jpeg", camera), ("photo.jpg", "image/jpeg", other),
                             ("photo.jpg", "image/jpeg", plain)],
                            sender="Jonas Berg <jonas@example.org>"))
    write("", 3, "S", mixed(3, "More photos",
                            "The dusk, and the sunset as PNG.\n",
                            [("dusk.jpg", "image/jpeg", plain), ("sunset.png", "image/png", picture("picture.png"))],
                            sender="Jonas Berg <jonas@example.org>"))
    html = ('<html><body><p><img src="cid:badge@lumivane.example" alt="Club badge"></p>'
            "<p>The club newsletter for May.</p></body></html>")
    related = multipart("related", "sample-04-related", [
        text_part(html, "html"),
        file_part("badge.gif", "image/gif", picture("picture.gif"), "inline", "badge@lumivane.example"),
    ], '; type="text/html"')
    write("", 4, "S", message(headers("Club newsletter (inline picture)", 4, sender="Rowing Club <club@example.org>"),
                              multipart("mixed", "sample-04", [related])))
    write("", 5, "S", message(headers("Meeting notes", 5, sender="Ada Novak <ada@example.org>"),
                              text_part("Notes of Tuesday's meeting: nothing attached this time.\n")))
    write("", 6, "S", mixed(6, "Scanned documents", "The scans you asked for.\n",
                            [("scan.tif", "image/tiff", picture("picture.tif")),
                             ("scan.bmp", "image/bmp", picture("picture.bmp"))],
                            sender="Office Scanner <scanner@example.org>"))
    inner = message(headers("Holiday at the lake", 1), text_part("(the forwarded text)\n"))
    forwarded = [text_part("See below, and the chart.\n"),
                 ["Content-Type: message/rfc822", 'Content-Disposition: attachment; filename="Holiday at the lake.eml"',
                  "", inner.rstrip("\n")],
                 file_part("chart.emf", "image/x-emf", picture("drawing.emf"))]
    write("", 7, "S", message(headers("Fwd: Holiday at the lake", 7, sender="Ada Novak <ada@example.org>"),
                              multipart("mixed", "sample-07", forwarded)))
    write("", 8, "S", mixed(8, "Floor plan", "The plan as a metafile.\n",
                            [("plan.wmf", "image/x-wmf", picture("drawing.wmf"))],
                            sender="Ada Novak <ada@example.org>"))
    write(".Drafts", 9, "DS", mixed(9, "Pictures for mum (draft)", "Not sent yet.\n",
                                    [("jetty.jpg", "image/jpeg", plain)], sender="You <you@example.org>",
                                    to="Mum <mum@example.org>"))
    write(".Club", 10, "S", mixed(10, "Regatta photos", "Posted to the club folder.\n",
                                  [("team.jpg", "image/jpeg", camera), ("badge.gif", "image/gif", picture("picture.gif"))],
                                  sender="Rowing Club <club@example.org>"))
    with open(os.path.join(OUT, ".Club", ".lumivane-folder"), "w", newline="\n") as f:
        f.write("# The club folder holds posts, not mail.\ntype = post\n")


if __name__ == "__main__":
    main()
