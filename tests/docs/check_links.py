"""Every relative link and picture in README.md and docs/*.md names a file that exists, and a link
to a heading of a Markdown file names a heading it has. Addresses with a scheme (https:, mailto:)
are not followed. Prints each broken link with its file and line.

usage: check_links.py REPOSITORY
"""
import os
import re
import sys

# [text](target) and ![alt](target), the target optionally in <...> or followed by a "title".
INLINE_LINK = re.compile(r'!?\[(?:[^\]\\]|\\.)*\]\(\s*(<[^>]*>|[^\s)]+)(?:\s+"[^"]*")?\s*\)')
# [label]: target, a reference definition on a line of its own.
REFERENCE_DEFINITION = re.compile(r'^ {0,3}\[[^\]]+\]:\s*(<[^>]*>|\S+)')
SCHEME = re.compile(r'^[A-Za-z][A-Za-z0-9+.-]*:')
CODE_SPAN = re.compile(r'(`+).*?\1')
HEADING = re.compile(r'^ {0,3}#{1,6}\s+(.*?)\s*#*\s*$')


def prose_lines(path):
    """The lines outside fenced code blocks, numbered."""
    fence = None
    with open(path, encoding='utf-8') as file:
        for number, line in enumerate(file, 1):
            marker = re.match(r'^ {0,3}(`{3,}|~{3,})', line)
            if marker:
                if fence is None:
                    fence = marker.group(1)
                elif marker.group(1).startswith(fence):
                    fence = None
                continue
            if fence is None:
                yield number, line


def anchors(path):
    """The anchors of a Markdown file's headings, as the repository's web view makes them."""
    found = set()
    counts = {}
    for _, line in prose_lines(path):
        heading = HEADING.match(line)
        if heading:
            text = re.sub(r'[^\w\- ]', '', heading.group(1).lower()).replace(' ', '-')
            counts[text] = counts.get(text, -1) + 1
            found.add(text if counts[text] == 0 else f'{text}-{counts[text]}')
    return found


def targets(path):
    for number, line in prose_lines(path):
        # What a code span shows is no link.
        line = CODE_SPAN.sub(lambda span: ' ' * len(span.group(0)), line)
        for match in INLINE_LINK.finditer(line):
            yield number, match.group(1)
        definition = REFERENCE_DEFINITION.match(line)
        if definition:
            yield number, definition.group(1)


def broken_links(document):
    folder = os.path.dirname(document)
    for number, target in targets(document):
        target = target.strip('<>')
        if SCHEME.match(target):
            continue
        name, _, fragment = target.partition('#')
        linked = os.path.normpath(os.path.join(folder, name)) if name else document
        if not os.path.exists(linked):
            yield f'{document}:{number}: {target}: no such file'
        elif fragment and linked.endswith('.md') and fragment not in anchors(linked):
            yield f'{document}:{number}: {target}: no heading "{fragment}" in {linked}'


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    repository = sys.argv[1]
    docs = os.path.join(repository, 'docs')
    documents = [os.path.join(repository, 'README.md')] + sorted(
        os.path.join(docs, name) for name in os.listdir(docs) if name.endswith('.md'))
    problems = [problem for document in documents for problem in broken_links(document)]
    for problem in problems:
        print(problem, file=sys.stderr)
    checked = sum(1 for document in documents for _ in targets(document))
    print(f'{len(documents)} documents, {checked} links and pictures, {len(problems)} broken')
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
