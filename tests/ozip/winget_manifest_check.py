#!/usr/bin/env python3
"""`ozip pack --winget` on the demo product: the three files it writes are what the package
manager's schemas (../shared/schemas/winget-1.9.0) accept, name the program as written by its
SHA-256, carry setup.ini's and the command line's texts through YAML unchanged, and come out the
same when packed again. ozip refuses exactly the identifiers the schema refuses, and a folder
that holds a file of another manifest. Skipped with a message when ../shared is absent.

Run by ctest with the variables of orvo_add_script_test; natively or, in the Windows build,
ozip.exe under Wine (setup.exe and the stub beside it).
"""
import hashlib
import json
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
import wine_paths  # noqa: E402

SOURCE = os.environ["ORVO_SOURCE_DIR"]
SCHEMAS = os.path.join(SOURCE, "..", "shared", "schemas", "winget-1.9.0")
WINDOWS = os.environ.get("ORVO_TARGET") == "windows"
OZIP = os.path.join(os.environ["ORVO_BIN_DIR"], "ozip" + os.environ.get("ORVO_EXE_SUFFIX", ""))
# CMake passes a list with ';' between its items.
RUN = [item for item in os.environ.get("ORVO_RUN", "").split(";") if item]

URL = "https://downloads.example/zelvik-2.4-setup.exe"
# Every character YAML would take for syntax, an escape, a tab and letters beyond ASCII.
DESCRIPTION = 'Zápis měření: "Želvík" \\ # [x] {y} & *z –\tkonec'
RETURN_CODES = {1: "contactSupport", 2: "cancelledByUser", 3: "installInProgress",
                4: "contactSupport", 6: "invalidParameter", 7: "downgrade",
                8: "blockedByPolicy"}
SWITCHES = {"Silent": "/S", "SilentWithProgress": "/PASSIVE",
            "InstallLocation": "/D=<INSTALLPATH>", "Log": '/LOG="<LOGPATH>"'}


def program_path(host):
    return wine_paths.windows_path(host) if WINDOWS else host


def pack(work, manifest_dir, identifier, *more):
    """ozip pack of the demo product with --sfx and --winget; the completed process."""
    args = ["pack", program_path(os.path.join(work, "product")),
            program_path(os.path.join(work, "package")),
            "--ini", program_path(os.path.join(work, "setup.ini")),
            "--license", program_path(os.path.join(work, "license.txt")),
            "--sfx", program_path(os.path.join(work, "zelvik-setup.exe")),
            "--winget", program_path(manifest_dir), "--id", identifier, "--url", URL, *more]
    if not WINDOWS:  # the native ozip stands in for setup.exe and the stub
        args += ["--setup", OZIP, "--stub", OZIP]
    return subprocess.run(RUN + [OZIP] + args, capture_output=True, timeout=600)


def prepare(work):
    """The demo product with a stand-in program, and its texts in code page 1250 with CR LF,
    as a Czech Windows editor saves them."""
    shutil.copytree(os.path.join(SOURCE, "examples", "demo", "payload"),
                    os.path.join(work, "product"))
    with open(os.path.join(work, "product", "zelvik.exe"), "wb") as f:
        f.write(b"MZ the demo program")
    for name in ("setup.ini", "license.txt"):
        with open(os.path.join(SOURCE, "examples", "demo", "package", name),
                  encoding="utf-8") as f:
            text = f.read().replace("\n", "\r\n")
        with open(os.path.join(work, name), "wb") as f:
            f.write(text.encode("cp1250"))


def main():
    if not os.path.isdir(SCHEMAS):
        print(f"{SCHEMAS} is absent: skipped")
        return 0
    try:
        import jsonschema
        import yaml
    except ImportError as e:
        print(f"{e}: scripts/bootstrap installs python3-jsonschema and python3-yaml")
        return 1

    def schema(kind):
        with open(os.path.join(SCHEMAS, f"manifest.{kind}.1.9.0.json"), encoding="utf-8") as f:
            return jsonschema.Draft7Validator(json.load(f))

    failures = []

    def expect(condition, what):
        if not condition:
            failures.append(what)
            print("FAIL", what)

    work = tempfile.mkdtemp(prefix="winget-", dir=wine_paths.scratch(os.environ["ORVO_BUILD_DIR"]))
    try:
        prepare(work)
        manifest_dir = os.path.join(work, "manifest")
        identifier = "Vodni.Zelvik"
        names = [f"{identifier}.yaml", f"{identifier}.installer.yaml",
                 f"{identifier}.locale.cs-CZ.yaml"]
        written = None
        for attempt in ("first", "again"):
            done = pack(work, manifest_dir, identifier, "--locale", "cs-CZ",
                        "--description", DESCRIPTION)
            if done.returncode != 0:
                print(done.stdout.decode(errors="replace"), done.stderr.decode(errors="replace"))
                expect(False, f"pack ({attempt}) ended with {done.returncode}")
                return 1
            expect(sorted(os.listdir(manifest_dir)) == sorted(names),
                   f"the files written ({attempt}): {sorted(os.listdir(manifest_dir))}")
            texts = {}
            for name in names:
                with open(os.path.join(manifest_dir, name), "rb") as f:
                    texts[name] = f.read()
            expect(written is None or texts == written, "a second pack wrote other manifests")
            written = texts

        version, installer, locale = (yaml.safe_load(written[name].decode("utf-8"))
                                      for name in names)
        for kind, document in (("version", version), ("installer", installer),
                               ("defaultLocale", locale)):
            for error in schema(kind).iter_errors(document):
                expect(False, f"{kind}: {error.message} at {list(error.absolute_path)}")

        for document in (version, installer, locale):
            expect((document["PackageIdentifier"], document["PackageVersion"]) ==
                   (identifier, "2.4"), f"identity: {document}")
        expect(version["DefaultLocale"] == locale["PackageLocale"] == "cs-CZ", "the locale")
        expect((locale["PackageName"], locale["Publisher"], locale["License"],
                locale["ShortDescription"]) ==
               ("Zelvik", "Vodní dílna", "LICENČNÍ UJEDNÁNÍ", DESCRIPTION),
               f"the texts: {locale}")
        expect(installer["AppsAndFeaturesEntries"] ==
               [{"DisplayName": "Zelvik 2.4", "Publisher": "Vodní dílna",
                 "DisplayVersion": "2.4", "ProductCode": "Zelvik"}],
               f"the Apps list's entry: {installer['AppsAndFeaturesEntries']}")
        expect({c["InstallerReturnCode"]: c["ReturnResponse"]
                for c in installer["ExpectedReturnCodes"]} == RETURN_CODES, "the return codes")
        expect(installer["InstallerSwitches"] == SWITCHES, "the switches")
        with open(os.path.join(work, "zelvik-setup.exe"), "rb") as f:
            digest = hashlib.sha256(f.read()).hexdigest()
        expect([(i["Scope"], i.get("InstallerSwitches", {}).get("Custom"), i["InstallerUrl"],
                 i["InstallerSha256"].lower()) for i in installer["Installers"]] ==
               [("user", "/CURRENTUSER", URL, digest), ("machine", "/ALLUSERS", URL, digest)],
               f"the installers: {installer['Installers']}")

        # A manifest of another product left in the folder would be read with this one.
        other = os.path.join(work, "other")
        os.makedirs(other)
        with open(os.path.join(other, "Jiny.Program.yaml"), "w") as f:
            f.write("PackageIdentifier: Jiny.Program\n")
        done = pack(work, other, identifier)
        expect(done.returncode == 2 and os.listdir(other) == ["Jiny.Program.yaml"],
               f"a folder with another manifest: exit {done.returncode}, {os.listdir(other)}")

        # ozip against the schema's own pattern: the edges of the parts' number and length
        # (in characters, not bytes), blanks of every kind, a forbidden character.
        accepts_id = jsonschema.Draft7Validator(
            schema("version").schema["properties"]["PackageIdentifier"]).is_valid
        candidates = ["Vodni", "Vodni.Zelvik.a.b.c.d.e.f", "a.b.c.d.e.f.g.h.i", "Vodni..Zelvik",
                      ".Vodni.Zelvik", "Vodni.Zel vik", "Vodni.Zel\u00a0vik",
                      "Vodni.Zelvik\u3000", "Vodni.Zel:vik", "Vodní.Želvík", "x" * 32 + ".Z",
                      "x" * 33 + ".Z", "Č" * 32 + ".Z", ".".join(["y" * 32] * 4)]
        for n, candidate in enumerate(candidates):
            done = pack(work, os.path.join(work, f"id{n}"), candidate)
            refused = done.returncode == 2 and b"--id" in done.stderr
            schema_takes = accepts_id(candidate)
            expect(refused != schema_takes,
                   f"--id {candidate!r}: ozip {'refused' if refused else 'took'} it "
                   f"(exit {done.returncode}), the schema {'takes' if schema_takes else 'refuses'} it")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print(f"{len(failures)} failed" if failures else "ok")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
