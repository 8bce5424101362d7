<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>QObject</name>
    <message>
        <source>Station</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>U, mV</source>
        <translation>U, mV</translation>
    </message>
    <message>
        <source>R = U / I, Ohm</source>
        <translation>R = U / I, Ohm</translation>
    </message>
    <message numerus="yes">
        <source>%n value(s) not above 0 left out of the logarithmic axis</source>
        <translation>
            <numerusform>%n value not above 0 left out of the logarithmic axis</numerusform>
            <numerusform>%n values not above 0 left out of the logarithmic axis</numerusform>
        </translation>
    </message>
    <message>
        <source>x, m</source>
        <translation>x, m</translation>
    </message>
    <message>
        <source>Apparent resistivity, Ohm·m</source>
        <translation>Apparent resistivity, Ohm·m</translation>
    </message>
    <message numerus="yes">
        <source>%n value(s) without apparent resistivity left out</source>
        <translation>
            <numerusform>%n value without apparent resistivity left out</numerusform>
            <numerusform>%n values without apparent resistivity left out</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n negative value(s) drawn hollow</source>
        <translation>
            <numerusform>%n negative value drawn hollow</numerusform>
            <numerusform>%n negative values drawn hollow</numerusform>
        </translation>
    </message>
    <message>
        <source>Line %1, file %2: electrode spacing %3 m, electrode 0 at x = %4 m</source>
        <translation>Line %1, file %2: electrode spacing %3 m, electrode 0 at x = %4 m</translation>
    </message>
    <message>
        <source>Pseudo-depth, m</source>
        <translation>Pseudo-depth, m</translation>
    </message>
    <message numerus="yes">
        <source>The legend names %1 of %n curve(s)</source>
        <translation>
            <numerusform>The legend names %1 of %n curve</numerusform>
            <numerusform>The legend names %1 of %n curves</numerusform>
        </translation>
    </message>
    <message>
        <source>Nothing to draw: no plain measurement here; measurements with electrode positions are shown by the pseudosection</source>
        <translation>Nothing to draw: no plain measurement here; measurements with electrode positions are shown by the pseudosection</translation>
    </message>
    <message>
        <source>Elevation, m</source>
        <translation>Elevation, m</translation>
    </message>
    <message>
        <source>Resistivity, Ohm·m</source>
        <translation>Resistivity, Ohm·m</translation>
    </message>
    <message>
        <source>DOI</source>
        <translation>DOI</translation>
    </message>
    <message>
        <source>depth of sensitivity</source>
        <translation>depth of sensitivity</translation>
    </message>
    <message>
        <source>|R|, Ohm</source>
        <translation>|R|, Ohm</translation>
    </message>
    <message>
        <source>|ΔR|, Ohm</source>
        <translation>|ΔR|, Ohm</translation>
    </message>
    <message>
        <source>%1: a = %2 Ohm, b = %3 %</source>
        <translation>%1: a = %2 Ohm, b = %3 %</translation>
    </message>
    <message>
        <source>Line %1, all its files: electrode spacing %2 m, each file from its own X0</source>
        <translation>Line %1, all its files: electrode spacing %2 m, each file from its own X0</translation>
    </message>
    <message>
        <source>Change of resistivity, %</source>
        <translation>Change of resistivity, %</translation>
    </message>
    <message>
        <source>%1 against %2</source>
        <translation>%1 against %2</translation>
    </message>
    <message>
        <source>x along the lines, m</source>
        <translation>x along the lines, m</translation>
    </message>
    <message>
        <source>y across the lines, m</source>
        <translation>y across the lines, m</translation>
    </message>
    <message>
        <source>%1 m below the ground</source>
        <translation>%1 m below the ground</translation>
    </message>
    <message>
        <source>%1 (left out)</source>
        <translation>%1 (left out)</translation>
    </message>
    <message>
        <source>below every line&apos;s depth of sensitivity: the data see nothing here</source>
        <translation>below every line&apos;s depth of sensitivity: the data see nothing here</translation>
    </message>
    <message>
        <source>a picture from %1 to %2 pixels a side is needed</source>
        <translation>a picture from %1 to %2 pixels a side is needed</translation>
    </message>
    <message>
        <source>a resolution from %1 to %2 dots per inch is needed</source>
        <translation>a resolution from %1 to %2 dots per inch is needed</translation>
    </message>
    <message>
        <source>Measured apparent resistivity ρa (Ohm·m) by pseudo-depth (m)</source>
        <translation>Measured apparent resistivity ρa (Ohm·m) by pseudo-depth (m)</translation>
    </message>
    <message>
        <source>Modelled apparent resistivity ρa (Ohm·m) by pseudo-depth (m)</source>
        <translation>Modelled apparent resistivity ρa (Ohm·m) by pseudo-depth (m)</translation>
    </message>
    <message>
        <source>Misfit (model − measured) / measured (%) by pseudo-depth (m)</source>
        <translation>Misfit (model − measured) / measured (%) by pseudo-depth (m)</translation>
    </message>
    <message>
        <source>%</source>
        <translation>%</translation>
    </message>
    <message>
        <source>Ohm·m</source>
        <translation>Ohm·m</translation>
    </message>
    <message>
        <source>Change of apparent resistivity, later against base (%), by pseudo-depth (m)</source>
        <translation>Change of apparent resistivity, later against base (%), by pseudo-depth (m)</translation>
    </message>
    <message>
        <source>at %1 dots per inch the sheet needs at least %2 × %3 pixels</source>
        <translation>at %1 dots per inch the sheet needs at least %2 × %3 pixels</translation>
    </message>
    <message>
        <source>the model does not explain the data: χ² %1 (at most %2 for a fit), RRMS %3 % (at most %4 times the data&apos;s median error of %5 %)</source>
        <translation>the model does not explain the data: χ² %1 (at most %2 for a fit), RRMS %3 % (at most %4 times the data&apos;s median error of %5 %)</translation>
    </message>
    <message>
        <source>%1: iteration %2 of %3, RRMS %4 %, χ² %5 (the section is iteration %6, of the lowest χ²)</source>
        <translation>%1: iteration %2 of %3, RRMS %4 %, χ² %5 (the section is iteration %6, of the lowest χ²)</translation>
    </message>
    <message numerus="yes">
        <source>%1: %n iteration(s), RRMS %2 %, χ² %3</source>
        <translation>
            <numerusform>%1: %n iteration, RRMS %2 %, χ² %3</numerusform>
            <numerusform>%1: %n iterations, RRMS %2 %, χ² %3</numerusform>
        </translation>
    </message>
    <message>
        <source> (the model of iteration %1, the lowest χ²)</source>
        <translation> (the model of iteration %1, the lowest χ²)</translation>
    </message>
    <message>
        <source>Frequency effect, %</source>
        <translation>Frequency effect, %</translation>
    </message>
    <message>
        <source>Metal factor</source>
        <translation>Metal factor</translation>
    </message>
    <message numerus="yes">
        <source>%n value(s) without a reading at a second frequency left out</source>
        <translation>
            <numerusform>%n value without a reading at a second frequency left out</numerusform>
            <numerusform>%n values without a reading at a second frequency left out</numerusform>
        </translation>
    </message>
    <message>
        <source>AB/2, depth, m</source>
        <translation>AB/2, depth, m</translation>
    </message>
    <message>
        <source>Measured, MN/2 = %1 m</source>
        <translation>Measured, MN/2 = %1 m</translation>
    </message>
    <message>
        <source>Layered model&apos;s response</source>
        <translation>Layered model&apos;s response</translation>
    </message>
    <message>
        <source>Smooth model&apos;s response</source>
        <translation>Smooth model&apos;s response</translation>
    </message>
    <message>
        <source>Layered model (ρ against depth)</source>
        <translation>Layered model (ρ against depth)</translation>
    </message>
    <message>
        <source>Smooth model (ρ against depth)</source>
        <translation>Smooth model (ρ against depth)</translation>
    </message>
    <message numerus="yes">
        <source>%1 at %2 m: %n layer(s), RRMS %3 %</source>
        <translation>
            <numerusform>%1 at %2 m: %n layer, RRMS %3 %</numerusform>
            <numerusform>%1 at %2 m: %n layers, RRMS %3 %</numerusform>
        </translation>
    </message>
    <message>
        <source>x along the line, m</source>
        <translation>x along the line, m</translation>
    </message>
    <message>
        <source>Depth, m</source>
        <translation>Depth, m</translation>
    </message>
    <message numerus="yes">
        <source>%1: %n sounding(s), smooth models; layered boundaries in black</source>
        <translation>
            <numerusform>%1: %n sounding, smooth models; layered boundaries in black</numerusform>
            <numerusform>%1: %n soundings, smooth models; layered boundaries in black</numerusform>
        </translation>
    </message>
    <message>
        <source>Measured, MN = AB/%1</source>
        <translation>Measured, MN = AB/%1</translation>
    </message>
</context>
</TS>
