#!/usr/bin/env python3
"""Checks the user's guide in docs/guide: two self-contained HTML files that
any browser shows offline (UTF-8 declared, no scripts, nothing fetched from
elsewhere, every link and image present), small palette PNGs, the same
sections and pictures in both languages (en.html shows the English programs,
from images/en), and the programs' own texts quoted exactly as their string
tables in the page's language hold them.

    tests/guide_test.py [GUIDE-FOLDER]

Prints one `ok - ...` or `FAIL - ...` line per check; exit code 1 on a failure.
"""
import html
import os
import re
import struct
import sys
from html.parser import HTMLParser

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
GUIDE = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, 'docs', 'guide')
GUIDES = {'ja': 'ja.html', 'en': 'en.html'}
MAX_IMAGE_BYTES = 100 * 1024
VOID = {'meta', 'link', 'img', 'br', 'hr', 'input', 'source', 'wbr'}

failures = 0


def check(name, good, detail=''):
    global failures
    if good:
        print(f'ok - {name}')
    else:
        failures += 1
        print(f'FAIL - {name}' + (f': {detail}' if detail else ''))


def string_table(path):
    """The EJECTRA_MESSAGE(id, "text") entries of a messages.inc, as {id: text}."""
    table = {}
    with open(path, encoding='utf-8') as f:
        for match in re.finditer(r'EJECTRA_MESSAGE\((\d+), "((?:[^"\\]|\\.)*)"\)', f.read()):
            text = match.group(2).replace('\\x22', '"').replace('\\n', '\n').replace('\\\\', '\\')
            table[int(match.group(1))] = text
    return table


class Page(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.stack, self.unbalanced = [], []
        self.ids, self.links, self.images, self.stylesheets = set(), [], [], []
        self.scripts, self.handlers, self.charset, self.lang = 0, [], None, None
        self.text = []

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == 'html':
            self.lang = a.get('lang')
        if tag == 'meta' and 'charset' in a:
            self.charset = a['charset']
        if tag in ('script', 'iframe', 'object', 'embed'):
            self.scripts += 1
        self.handlers += [name for name, _ in attrs if name.startswith('on')]
        if 'id' in a:
            self.ids.add(a['id'])
        if tag == 'a' and 'href' in a:
            self.links.append(a['href'])
        if tag == 'img':
            self.images.append((a.get('src', ''), a.get('width'), a.get('height'), a.get('alt')))
        if tag == 'link':
            self.stylesheets.append(a.get('href', ''))
        if tag not in VOID:
            self.stack.append(tag)

    def handle_endtag(self, tag):
        if tag in VOID:
            return
        if self.stack and self.stack[-1] == tag:
            self.stack.pop()
        else:
            self.unbalanced.append(f'</{tag}> at line {self.getpos()[0]}')

    def handle_data(self, data):
        self.text.append(data)


def png_size(path):
    with open(path, 'rb') as f:
        head = f.read(26)
    if head[:8] != b'\x89PNG\r\n\x1a\n' or head[12:16] != b'IHDR':
        return None
    width, height = struct.unpack('>II', head[16:24])
    return width, height, head[24], head[25]  # bit depth, colour type


def is_external(ref):
    return re.match(r'^[a-zA-Z][a-zA-Z0-9+.-]*:', ref) is not None or ref.startswith('//')


pages = {}
for lang, name in GUIDES.items():
    path = os.path.join(GUIDE, name)
    try:
        with open(path, 'rb') as f:
            source = f.read().decode('utf-8')
        check(f'{name}: is UTF-8', True)
    except (OSError, UnicodeDecodeError) as error:
        check(f'{name}: is UTF-8', False, str(error))
        continue
    page = Page()
    page.feed(source)
    page.source = source
    page.plain = re.sub(r'\s+', ' ', html.unescape(''.join(page.text)))
    pages[lang] = page
    check(f'{name}: starts with <!DOCTYPE html>', source.lstrip().lower().startswith('<!doctype html>'))
    check(f'{name}: declares <meta charset="utf-8">', (page.charset or '').lower() == 'utf-8')
    check(f'{name}: <html lang="{lang}">', page.lang == lang)
    check(f'{name}: no scripts or embedded objects', page.scripts == 0 and not page.handlers)
    check(f'{name}: every tag closed in order', not page.unbalanced and not page.stack,
          '; '.join(page.unbalanced[:3] + [f'<{t}> left open' for t in page.stack[:3]]))
    refs = page.links + [src for src, *_ in page.images] + page.stylesheets
    external = [r for r in refs if is_external(r)]
    check(f'{name}: nothing fetched from elsewhere', not external, ', '.join(external))
    missing = [r for r in refs if not is_external(r) and not r.startswith('#')
               and not os.path.isfile(os.path.join(GUIDE, r.split('#')[0]))]
    check(f'{name}: every linked file is there', not missing, ', '.join(missing))
    dangling = [r for r in page.links if r.startswith('#') and r[1:] not in page.ids]
    check(f'{name}: every anchor exists', not dangling, ', '.join(dangling))
    wrong = []
    for src, width, height, alt in page.images:
        size = png_size(os.path.join(GUIDE, src)) if os.path.isfile(os.path.join(GUIDE, src)) else None
        if not alt:
            wrong.append(f'{src} has no alt text')
        if size and (str(size[0]), str(size[1])) != (width, height):
            wrong.append(f'{src} is {size[0]}x{size[1]}, not {width}x{height}')
    check(f'{name}: images carry alt text and their real size', not wrong, '; '.join(wrong))

css = os.path.join(GUIDE, 'style.css')
if os.path.isfile(css):
    with open(css, encoding='utf-8') as f:
        sheet = f.read()
    check('style.css: no @import and no url()', '@import' not in sheet and 'url(' not in sheet)

image_dir = os.path.join(GUIDE, 'images')
images = []
for folder in ('', 'en'):
    where = os.path.join(image_dir, folder)
    if os.path.isdir(where):
        images += sorted(os.path.join(folder, n) for n in os.listdir(where) if n.endswith('.png'))
check('images: there are screenshots', len(images) > 0)
for name in images:
    path = os.path.join(image_dir, name)
    size = os.path.getsize(path)
    info = png_size(path)
    check(f'images/{name}: a PNG under 100 KB', info is not None and size < MAX_IMAGE_BYTES,
          f'{size} bytes')

if len(pages) == 2:
    ja, en = pages['ja'], pages['en']
    used = {lang: sorted({src for src, *_ in p.images}) for lang, p in pages.items()}
    # en.html shows the English programs: each picture of ja.html taken again
    # in English, under the same name in images/en.
    english = sorted(src.replace('images/', 'images/en/', 1) for src in used['ja'])
    check('both guides show the same pictures, en.html the English ones', used['en'] == english,
          f"ja only: {set(english) - set(used['en'])}, en only: {set(used['en']) - set(english)}")
    check('every image is used', sorted('images/' + n for n in images) == sorted(used['ja'] + used['en']),
          f"unused: {set('images/' + n for n in images) - set(used['ja'] + used['en'])}")
    check('both guides have the same sections', ja.ids == en.ids, f'{ja.ids ^ en.ids}')
    check('the guides link to each other',
          'en.html' in ja.links and 'ja.html' in en.links)

    # The programs' texts, quoted exactly: %c as the drive letter shown, %s as
    # any text (the reasons' %s, the name Windows gives, also as "%s"), %d as a
    # number.
    # Each page quotes the string tables of its language: messages.inc in
    # Japanese, messages_en.inc in English.
    for lang, page in pages.items():
        inc = 'messages.inc' if lang == 'ja' else 'messages_en.inc'
        console = string_table(os.path.join(ROOT, 'tools', 'console', inc))
        windowless = string_table(os.path.join(ROOT, 'tools', 'windowless', inc))
        wizard = string_table(os.path.join(ROOT, 'wizard', inc))
        quoted = [('ejectrac', console, i) for i in (1001, 1002, 1003, 2001, 2002, 2003, 2005)]
        quoted += [('Ejectra', windowless, i) for i in (2003, 2004)]
        quoted += [('EjectraWizard', wizard, i) for i in (1001, 11001, 11002, 12001)]
        # /V: the removal's outcome, the programs that held the drive, and the reasons.
        reasons = (3001, 3002, 3003, 3004, 3005) + tuple(sorted(i for i in console if 3100 <= i < 3200))
        quoted += [('ejectrac', console, i) for i in reasons]
        quoted += [('Ejectra', windowless, i) for i in reasons]
        for program, table, message in quoted:
            # Runs of blanks count as they are in the source: the messages are
            # shown in elements that keep them (white-space: pre-wrap).
            source_text = html.unescape(re.sub(r'<[^>]+>', '', page.source))
            pattern = (re.escape(table[message]).replace('%c', '[A-Z]').replace('%s', '[^"\n]*')
                       .replace('%d', '[0-9]+'))
            check(f'{GUIDES[lang]}: quotes {program} message {message} exactly',
                  re.search(pattern, source_text) is not None, table[message])
        usage = console[104]
        source_text = html.unescape(re.sub(r'<[^>]+>', '', page.source))
        check(f'{GUIDES[lang]}: shows the usage text of ejectrac exactly', usage in source_text)

print(f'guide: {failures} failed')
sys.exit(1 if failures else 0)
