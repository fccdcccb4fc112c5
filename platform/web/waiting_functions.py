#!/usr/bin/env python3
"""Lists the functions that may be on the stack while the program waits for the browser, for
Asyncify to instrument them and nothing else. Instrumenting every function that an indirect call
might reach (Asyncify's default) doubles the wasm.

Usage: waiting_functions.py CALL_GRAPH.wat LIST.json

CALL_GRAPH.wat is the program linked as the page is, without Asyncify and with the functions'
names (wasm-dis of a --profiling-funcs link). A function may wait where it calls the wait
(web_wait_for_frame) or a function that may wait, or makes an indirect call of a type that some
function of the table with that type, which may wait, has. Indirect calls are told apart by type
alone, so the list is larger than need be, never smaller, but for the library's routines below.
"""
import json
import re
import sys

WAIT = 'web_wait_for_frame'

# Routines of the library that only draw into a bitmap, format text, handle strings, files and
# the configuration, or sort: their indirect calls go to the bitmap's drawing routines, a
# blender, a scanline filler, a font or a file's vtable, none of which waits. Their types are
# those of the few driver hooks that wait (the screen's blit, the mouse's poll, the timer's
# rest), which would pull them all in.
NEVER_WAIT = re.compile(r'''^(?:
    _linear_.* | _poly_.* | _soft_.* | draw_scanline.* | draw_triangle_part | do_polygon3d
  | _parallelogram_map | _pivot_scaled_sprite_flip | flooder | do_line | _fast_line
  | _normal_line | _normal_rectfill | dotted_rect | mono_render.* | _blit_between_formats
  | gui_textout_ex
  | .*printf.* | fmt_fp | pad | out | pop_arg | sprint_.* | __fwritex | __stdio_exit
  | ustr[a-z_]* | ugetat | usetat | uoffset | uconvert.* | _al_ustrdup | do_uconvert
  | .*config.* | .*resource.* | pack_.* | _pack_.* | byn-split-outlined-A\$pack_fclose
  | normal_f.* | normal_getc | normal_putc | close_file | file_exists | exists
  | get_executable_name | _unix_get_executable_name | append_filename | get_filename
  | get_extension | prettify_section_name
  | qsort | sift | trinkle
  | depthTestedPlot\(.*\) | \(anonymous\ namespace\)::drawLine\(.*\)
)$''', re.VERBOSE)

NAME = r'\$((?:[^\s()\\]|\\[0-9a-f]{2})+)'


def decode(name):
    return re.sub(r'\\([0-9a-f]{2})', lambda m: chr(int(m.group(1), 16)), name)


def signature(header):
    params = re.findall(r'\(param \$\S+ (\w+)\)', header)
    results = re.findall(r'\(result (\w+)\)', header)
    return ''.join(p + '_' for p in params) + '=>_' + ('_'.join(results) or 'none')


def read_call_graph(text):
    """Each function's type, its direct callees and the types of its indirect calls; the table."""
    functions = {}
    table = set()
    current = None
    for line in text.split('\n'):
        header = re.match(r' \(func ' + NAME, line)
        if header:
            current = {'type': signature(line), 'calls': set(), 'indirect': set()}
            functions[header.group(1)] = current
        elif line.startswith(' (elem'):
            table.update(re.findall(NAME, line))
        elif line.startswith(' (import'):
            current = None
        elif current is not None:
            current['calls'].update(re.findall(r'\((?:return_)?call ' + NAME, line))
            current['indirect'].update(
                re.findall(r'\((?:return_)?call_indirect (?:\$\S+ )?\(type \$(\S+?)\)', line))
    return functions, table


def waiting(functions, table):
    found = {WAIT}
    grew = True
    while grew:
        types = {functions[f]['type'] for f in found if f in table and f in functions}
        grew = False
        for name, f in functions.items():
            if name in found or NEVER_WAIT.match(decode(name)):
                continue
            if f['calls'] & found or f['indirect'] & types:
                found.add(name)
                grew = True
    found.discard(WAIT)
    return found


def main(graph, output):
    functions, table = read_call_graph(open(graph).read())
    if WAIT not in re.findall(r'\(import "\w+" "\w+" \(func ' + NAME, open(graph).read()):
        sys.exit(f'waiting_functions.py: {graph} does not import {WAIT}')
    # Asyncify reads a '.' in a listed name as a space: such a name is matched by a wildcard.
    names = sorted(decode(name).replace('.', '*') for name in waiting(functions, table))
    with open(output, 'w') as out:
        json.dump(names, out, indent=0)
    print(f'Asyncify: {len(names)} of {len(functions)} functions may wait')


if __name__ == '__main__':
    main(*sys.argv[1:])
